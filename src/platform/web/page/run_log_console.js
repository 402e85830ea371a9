// The web build's file layer shows the run log on the console: every line
// the program writes to Log.txt (in the page's in-memory file system, gone
// with the page) is also given to console.log as it is written, in order.
// The lines are also kept in Module.runLogLines, where the page reads the
// last one when the program ends.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  var write = FS.write, partial = '';
  var decoder = new TextDecoder('utf-8');
  Module['runLogLines'] = [];
  FS.write = function (stream, buffer, offset, length) {
    var written = write.apply(this, arguments);
    if (stream && stream.path === '/Log.txt' && written > 0) {
      partial += decoder.decode(buffer.subarray(offset, offset + written), {stream: true});
      var lines = partial.split('\n');
      partial = lines.pop();
      lines.forEach(function (line) {
        Module['runLogLines'].push(line);
        console.log(line);
      });
    }
    return written;
  };
});
