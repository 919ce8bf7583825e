// Runs a test program built for WebAssembly under Node and exits with its
// status. Qt builds programs as a module factory, which Node would only load.
//   node run-node.js PROGRAM.js [ARGUMENTS...]
'use strict';
const fs = require('fs');
const path = require('path');
const program = path.resolve(process.argv[2]);
const factory = require(program);
factory({
  arguments: process.argv.slice(3),
  // This emscripten fetches the .wasm file when Node has fetch(), which takes
  // no file paths: the bytes are read here instead.
  instantiateWasm: function (imports, done) {
    WebAssembly.instantiate(fs.readFileSync(program.replace(/\.js$/, '.wasm')), imports)
      .then(function (result) { done(result.instance, result.module); });
    return {};
  },
  preRun: [function (module) {
    // The tests' own settings pass through; the rest of Node's environment not.
    for (const [key, value] of Object.entries(process.env))
      if (key.startsWith('ZOOMATCH_') && module.ENV)
        module.ENV[key] = value;
  }],
  quit: function (status) { process.exit(status); },
}).catch(function (error) {
  console.error(error);
  process.exit(1);
});
