// Linked before a test program built for Node: the tests' own ZOOMATCH_*
// settings reach the program's environment, which emscripten otherwise fills
// with defaults of its own. (Plain ES5: emscripten's optimizer reads this.)
Module['preRun'] = [function () {
  var names = Object.keys(process.env);
  for (var i = 0; i < names.length; ++i)
    if (names[i].indexOf('ZOOMATCH_') === 0)
      ENV[names[i]] = process.env[names[i]];
}];
