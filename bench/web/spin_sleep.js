// The sleep of the benchmark build without Asyncify: a spin on the page's
// clock, which holds the page's thread (no events, no drawing) while it
// waits. Only for measuring what the frames cost without Asyncify.
mergeInto(LibraryManager.library, {
  quarrelo_web_sleep_until: function (when) {
    while (performance.now() < when) {
    }
  }
});
