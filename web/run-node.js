// Runs a test program built for WebAssembly under Node and exits with its
// status. Qt builds programs as a module factory, which Node would only load.
//   node run-node.js PROGRAM.js [ARGUMENTS...]
'use strict';
const path = require('path');
const factory = require(path.resolve(process.argv[2]));
factory({
  arguments: process.argv.slice(3),
  preRun: [function (module) {
    // The tests' own settings pass through; the rest of Node's environment not.
    for (const [key, value] of Object.entries(process.env))
      if (key.startsWith('ZOOMATCH_'))
        if (module.ENV) module.ENV[key] = value;
  }],
  quit: function (status) { process.exit(status); },
}).catch(function (error) {
  console.error(error);
  process.exit(1);
});
