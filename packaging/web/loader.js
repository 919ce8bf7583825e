// Starts the quiz on the page: compiles zoomatch.wasm while it downloads and
// zoomatch.js loads, then hands the canvas to Qt.
(function () {
  'use strict';
  const canvas = document.getElementById('screen');
  const status = document.getElementById('status');

  function fail(reason) {
    status.textContent = 'Тестът не можа да се зареди в този браузър. (' + reason + ')';
    status.hidden = false;
  }

  if (typeof WebAssembly !== 'object') {
    fail('няма WebAssembly');
    return;
  }

  // A server that does not call .wasm application/wasm stops streaming
  // compilation; the bytes are compiled in one piece then.
  const wasm = fetch('zoomatch.wasm').then(function (response) {
    if (!response.ok)
      throw new Error('zoomatch.wasm: ' + response.status);
    return WebAssembly.compileStreaming(response.clone()).catch(function () {
      return response.arrayBuffer().then(WebAssembly.compile);
    });
  });
  const script = new Promise(function (resolve, reject) {
    const element = document.createElement('script');
    element.src = 'zoomatch.js';
    element.onload = resolve;
    element.onerror = function () { reject(new Error('zoomatch.js')); };
    document.head.appendChild(element);
  });

  Promise.all([wasm, script]).then(function (loaded) {
    const module = loaded[0];
    return createQtAppInstance({
      qtContainerElements: [canvas],
      qtFontDpi: 96,
      instantiateWasm: function (imports, done) {
        WebAssembly.instantiate(module, imports).then(function (instance) {
          done(instance, module);
        }, fail);
        return {};
      },
      onRuntimeInitialized: function () { status.hidden = true; },
      print: function (text) { console.log(text); },
      printErr: function (text) { console.warn(text); },
      onAbort: fail,
    });
  }).catch(function (error) { fail(error.message || error); });
})();
