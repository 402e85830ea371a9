// The page's side of the web backend (web_backend.cpp): an Emscripten
// JavaScript library linked into quarrelo.js. It owns the canvas, turns the
// browser's events into the seam's (platform/backend.h), feeds Web Audio
// from the program's mixer and puts the program to sleep between frames.
// Everything runs on the page's one thread: browser events are queued here
// and taken by the program while it runs, and while it sleeps (Asyncify) the
// browser runs them, its timers and the audio pulls.

mergeInto(LibraryManager.library, {
  $QuarreloPage__deps: ['$callUserCallback'],
  $QuarreloPage: {
    // The seam's event kinds (backend::EventKind), in its order.
    kind: {
      close: 0, focusGained: 1, focusLost: 2, keyDown: 3, keyUp: 4, mouseMotion: 5,
      mouseDown: 6, mouseUp: 7, mouseWheel: 8, padAdded: 9, padRemoved: 10,
      padDown: 11, padUp: 12, padAxis: 13
    },
    // KeyboardEvent.code to USB HID usage ids (the seam's key codes).
    hid: {
      KeyA: 4, KeyB: 5, KeyC: 6, KeyD: 7, KeyE: 8, KeyF: 9, KeyG: 10, KeyH: 11, KeyI: 12, KeyJ: 13,
      KeyK: 14, KeyL: 15, KeyM: 16, KeyN: 17, KeyO: 18, KeyP: 19, KeyQ: 20, KeyR: 21, KeyS: 22,
      KeyT: 23, KeyU: 24, KeyV: 25, KeyW: 26, KeyX: 27, KeyY: 28, KeyZ: 29,
      Digit1: 30, Digit2: 31, Digit3: 32, Digit4: 33, Digit5: 34, Digit6: 35, Digit7: 36, Digit8: 37,
      Digit9: 38, Digit0: 39, Enter: 40, Escape: 41, Backspace: 42, Tab: 43, Space: 44, Minus: 45,
      Equal: 46, BracketLeft: 47, BracketRight: 48, Backslash: 49, IntlHash: 50, Semicolon: 51,
      Quote: 52, Backquote: 53, Comma: 54, Period: 55, Slash: 56, CapsLock: 57,
      F1: 58, F2: 59, F3: 60, F4: 61, F5: 62, F6: 63, F7: 64, F8: 65, F9: 66, F10: 67, F11: 68,
      F12: 69, PrintScreen: 70, ScrollLock: 71, Pause: 72, Insert: 73, Home: 74, PageUp: 75,
      Delete: 76, End: 77, PageDown: 78, ArrowRight: 79, ArrowLeft: 80, ArrowDown: 81, ArrowUp: 82,
      NumLock: 83, NumpadDivide: 84, NumpadMultiply: 85, NumpadSubtract: 86, NumpadAdd: 87,
      NumpadEnter: 88, Numpad1: 89, Numpad2: 90, Numpad3: 91, Numpad4: 92, Numpad5: 93, Numpad6: 94,
      Numpad7: 95, Numpad8: 96, Numpad9: 97, Numpad0: 98, NumpadDecimal: 99, IntlBackslash: 100,
      ContextMenu: 101, Power: 102, NumpadEqual: 103, F13: 104, F14: 105, F15: 106,
      AudioVolumeMute: 127, AudioVolumeUp: 128, AudioVolumeDown: 129, NumpadComma: 133, IntlRo: 135,
      KanaMode: 136, IntlYen: 137, Convert: 138, NonConvert: 139,
      ControlLeft: 224, ShiftLeft: 225, AltLeft: 226, MetaLeft: 227, ControlRight: 228,
      ShiftRight: 229, AltRight: 230, MetaRight: 231
    },
    // The standard mapping's buttons in the seam's order (backend::PadButton):
    // south, back, start, left and right shoulder, D-pad up, down, left, right.
    padButtons: [0, 8, 9, 4, 5, 12, 13, 14, 15],

    canvas: null,
    context: null,     // the canvas's 2D context
    shown: false,
    focused: false,    // what the program was last told
    queue: [],         // events for the program: [kind, code, dx, dy, pad, value]
    alt: {},           // AltLeft, AltRight: 'held' back or 'given' to the program
    enterKept: {},     // an Enter whose down switched full screen: its up is kept too
    pads: {},          // by Gamepad.index: {id, name, buttons, axes}
    nextPadId: 1,
    playing: false,    // a key was pressed in the game: leaving the page is asked
    audio: null,
    channel: null,     // the message channel a sleep's timer is set from

    push: function (kind, code, dx, dy, pad, value) {
      QuarreloPage.queue.push([kind, code || 0, dx || 0, dy || 0, pad || 0, value || 0]);
    },

    // The window has the focus while the canvas has it in a visible page of
    // a browser window in front.
    hasFocus: function () {
      var page = QuarreloPage;
      return !!page.canvas && page.shown && document.visibilityState === 'visible' &&
             document.hasFocus() && document.activeElement === page.canvas;
    },

    updateFocus: function () {
      var page = QuarreloPage, now = page.hasFocus();
      if (now === page.focused) return;
      page.focused = now;
      if (!now) {
        page.alt = {};  // their ups go elsewhere
        page.enterKept = {};
      }
      page.push(now ? page.kind.focusGained : page.kind.focusLost);
    },

    toggleFullscreen: function () {
      var canvas = QuarreloPage.canvas;
      if (document.fullscreenElement) {
        document.exitFullscreen().catch(function () {});
      } else if (canvas.requestFullscreen) {
        canvas.requestFullscreen().catch(function (error) {
          console.info('Full screen refused: ' + error.message);
        });
      }
    },

    // In full screen the keyboard is the game's (Esc and Ctrl+W included)
    // where the browser has the Keyboard Lock API.
    fullscreenChanged: function () {
      var page = QuarreloPage, keyboard = navigator.keyboard;
      if (document.fullscreenElement === page.canvas) {
        if (keyboard && keyboard.lock) keyboard.lock().catch(function () {});
      } else if (keyboard && keyboard.unlock) {
        keyboard.unlock();
      }
      if (page.canvas) page.canvas.focus();
    },

    // What one key event gives the program: nothing for the full-screen
    // switch's keys (F11, Alt+Enter), an Alt held back until another key
    // comes with it, and the key. Every default action the page may cancel
    // is cancelled while the game has the focus.
    key: function (event) {
      var page = QuarreloPage, kind = page.kind;
      if (!page.focused) return;
      event.preventDefault();
      page.playing = true;
      page.resumeAudio();
      var down = event.type === 'keydown', code = event.code;
      if (event.repeat) return;
      if (code === 'F11') {
        if (down) page.toggleFullscreen();
        return;
      }
      if (code === 'AltLeft' || code === 'AltRight') {
        if (down) {
          if (!page.alt[code]) page.alt[code] = 'held';
        } else {
          if (page.alt[code] === 'given') page.push(kind.keyUp, page.hid[code]);
          delete page.alt[code];
        }
        return;
      }
      if (code === 'Enter' || code === 'NumpadEnter') {
        if (down && event.altKey) {
          page.enterKept[code] = true;
          page.toggleFullscreen();
          return;
        }
        if (!down && page.enterKept[code]) {
          delete page.enterKept[code];
          return;
        }
      }
      var usage = page.hid[code];
      if (!usage) return;
      for (var alt in page.alt) {
        if (page.alt[alt] !== 'held') continue;
        page.alt[alt] = 'given';
        page.push(kind.keyDown, page.hid[alt]);
      }
      page.push(down ? kind.keyDown : kind.keyUp, usage);
    },

    mouse: function (event) {
      var page = QuarreloPage, kind = page.kind;
      if (event.type === 'mousedown') page.resumeAudio();
      if (!page.focused) return;
      if (event.type === 'mousemove') {
        page.push(kind.mouseMotion, 0, Math.round(event.movementX || 0), Math.round(event.movementY || 0));
      } else if (event.type === 'wheel') {
        event.preventDefault();
        if (event.deltaY) page.push(kind.mouseWheel, 0, 0, event.deltaY < 0 ? 1 : -1);
      } else {
        var button = [0, 2, 1, 3][event.button];  // left, middle, right, back: the seam's 0, 2, 1, 3
        if (button !== undefined) page.push(event.type === 'mousedown' ? kind.mouseDown : kind.mouseUp, button);
      }
    },

    // Controllers with the standard mapping, by their slot in
    // navigator.getGamepads(); a slot whose controller changed is one going
    // and another coming.
    pollPads: function () {
      var page = QuarreloPage, kind = page.kind, list = [];
      try {
        if (navigator.getGamepads) list = navigator.getGamepads() || [];
      } catch (error) {
        return;  // not allowed here (a frame without the permission)
      }
      var seen = {};
      for (var i = 0; i < list.length; i++) {
        var pad = list[i];
        if (!pad || !pad.connected || pad.mapping !== 'standard') continue;
        var slot = page.pads[pad.index];
        if (slot && slot.name !== pad.id) {
          page.removePad(pad.index);
          slot = null;
        }
        if (!slot) {
          slot = page.pads[pad.index] = {id: page.nextPadId++, name: pad.id, buttons: [], axes: [0, 0, 0]};
          page.push(kind.padAdded, 0, 0, 0, slot.id);
        }
        seen[pad.index] = true;
        page.padButtons.forEach(function (from, button) {
          var held = !!(pad.buttons[from] && pad.buttons[from].pressed);
          if (held === !!slot.buttons[button]) return;
          slot.buttons[button] = held;
          page.push(held ? kind.padDown : kind.padUp, button, 0, 0, slot.id);
        });
        var trigger = pad.buttons[7] ? pad.buttons[7].value : 0;
        [pad.axes[0] || 0, pad.axes[1] || 0, trigger].forEach(function (value, axis) {
          var position = Math.max(-32768, Math.min(32767, Math.round(value * 32767)));
          if (position === slot.axes[axis]) return;
          slot.axes[axis] = position;
          page.push(kind.padAxis, axis, 0, 0, slot.id, position);
        });
      }
      for (var index in page.pads) {
        if (!seen[index]) page.removePad(index);
      }
    },

    removePad: function (index) {
      QuarreloPage.push(QuarreloPage.kind.padRemoved, 0, 0, 0, QuarreloPage.pads[index].id);
      delete QuarreloPage.pads[index];
    },

    // ---- Audio ----

    // Browsers start a page's sound only after a key press or a click.
    resumeAudio: function () {
      var audio = QuarreloPage.audio;
      if (audio && audio.context && audio.context.state === 'suspended') audio.context.resume().catch(function () {});
    },

    pull: function (frames) {
      return frames > 0 && !ABORT ? Module['_quarrelo_web_audio_pull'](frames) : 0;
    },

    // The ScriptProcessorNode's pull: 16-bit interleaved to the channels.
    fill: function (output) {
      var audio = QuarreloPage.audio, frames = output.length;
      var at = QuarreloPage.pull(frames) >> 1;
      for (var c = 0; c < audio.channels; c++) {
        var data = output.getChannelData(c);
        for (var i = 0; i < frames; i++) data[i] = at ? HEAP16[at + i * audio.channels + c] / 32768 : 0;
      }
    },

    // While the context does not run (before the first key press or click,
    // or suspended by the browser), the output pulls silently at the real
    // rate, so that a sound played meanwhile ends on time: at every wake-up
    // of the program's sleeps (the frames' own, so no extra wake-up), and
    // from a slow timer for when the program does not sleep.
    audioStateChanged: function () {
      var audio = QuarreloPage.audio;
      if (!audio) return;
      var running = !!audio.context && audio.context.state === 'running';
      if (running && audio.timer) {
        clearInterval(audio.timer);
        audio.timer = 0;
      } else if (!running && !audio.timer) {
        audio.silentStart = performance.now();
        audio.silentPulled = 0;
        audio.timer = setInterval(QuarreloPage.pullSilently, 100);
        if (audio.context && !QuarreloPage.saidSilent) {
          QuarreloPage.saidSilent = true;
          console.info('Web Audio: the browser holds the sound back until a key press or a click; until then ' +
                       'the output pulls silently at ' + audio.rate + ' Hz');
        }
      }
    },

    pullSilently: function () {
      var audio = QuarreloPage.audio;
      if (!audio || !audio.timer) return;
      var due = Math.floor((performance.now() - audio.silentStart) * audio.rate / 1000);
      if (due > audio.silentPulled + audio.rate) audio.silentPulled = due - audio.rate;  // a second at most
      while (due > audio.silentPulled) {
        var frames = Math.min(due - audio.silentPulled, 16384);
        QuarreloPage.pull(frames);
        audio.silentPulled += frames;
      }
    },

    // ---- Sleep ----

    // One timer to the wake-up time. A timer set from a timer's own
    // callback (each wake-up's next sleep) is held to 4 ms once nested five
    // deep: a shorter sleep sets its timer from a message task instead.
    wakeAt: function (when, wakeUp) {
      var page = QuarreloPage;
      var wake = function () {
        page.pullSilently();
        callUserCallback(wakeUp);
      };
      var delay = Math.ceil(when - performance.now());
      if (delay >= 4) {
        setTimeout(wake, delay);
        return;
      }
      if (!page.channel) page.channel = new MessageChannel();
      page.channel.port1.onmessage = function () {
        var left = Math.ceil(when - performance.now());
        if (left > 0) setTimeout(wake, left); else wake();
      };
      page.channel.port2.postMessage(0);
    }
  },

  quarrelo_web_window_create__deps: ['$QuarreloPage'],
  quarrelo_web_window_create: function (width, height, title) {
    var page = QuarreloPage, canvas = Module['canvas'];
    if (!canvas || !canvas.getContext) return 0;
    page.context = canvas.getContext('2d', {alpha: false});
    if (!page.context) return 0;
    canvas.width = width;
    canvas.height = height;
    if (!canvas.hasAttribute('tabindex')) canvas.tabIndex = 0;
    page.canvas = canvas;
    var name = UTF8ToString(title);
    if (name) document.title = name;
    if (!page.listening) {
      page.listening = true;
      window.addEventListener('keydown', page.key, true);
      window.addEventListener('keyup', page.key, true);
      ['mousemove', 'mousedown', 'mouseup', 'wheel'].forEach(function (type) {
        canvas.addEventListener(type, page.mouse, {passive: false});
      });
      canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });
      window.addEventListener('pointerdown', page.resumeAudio, true);
      ['focus', 'blur'].forEach(function (type) {
        window.addEventListener(type, page.updateFocus);
        canvas.addEventListener(type, page.updateFocus);
      });
      document.addEventListener('visibilitychange', page.updateFocus);
      window.addEventListener('pageshow', page.updateFocus);
      document.addEventListener('fullscreenchange', page.fullscreenChanged);
      window.addEventListener('pagehide', function () { page.push(page.kind.close); });
      // Ctrl+W closes a tab outside full screen whatever the page does:
      // while the game runs, leaving the page is asked first.
      window.addEventListener('beforeunload', function (event) {
        if (!page.playing || !page.canvas || ABORT) return;
        event.preventDefault();
        event.returnValue = '';
      });
    }
    return 1;
  },

  quarrelo_web_window_show__deps: ['$QuarreloPage'],
  quarrelo_web_window_show: function () {
    var page = QuarreloPage;
    page.shown = true;
    page.canvas.style.visibility = 'visible';
    page.canvas.focus();
    page.updateFocus();
  },

  quarrelo_web_window_destroy__deps: ['$QuarreloPage'],
  quarrelo_web_window_destroy: function () {
    var page = QuarreloPage;
    if (document.fullscreenElement === page.canvas) document.exitFullscreen().catch(function () {});
    page.canvas.style.cursor = '';
    page.canvas = null;
    page.context = null;
    page.shown = false;
    page.focused = false;
    page.queue = [];
    page.alt = {};
    page.enterKept = {};
  },

  quarrelo_web_window_focused__deps: ['$QuarreloPage'],
  quarrelo_web_window_focused: function () {
    QuarreloPage.updateFocus();
    return QuarreloPage.focused ? 1 : 0;
  },

  // The program's own full-screen wish: the picture fills the page anyway,
  // and the browser's full screen needs a key press or click.
  quarrelo_web_window_fullscreen: function (fullscreen) {},

  quarrelo_web_window_capture_mouse__deps: ['$QuarreloPage'],
  quarrelo_web_window_capture_mouse: function (captured) {
    if (QuarreloPage.canvas) QuarreloPage.canvas.style.cursor = captured ? 'none' : '';
  },

  quarrelo_web_next_event__deps: ['$QuarreloPage'],
  quarrelo_web_next_event: function (fields) {
    var page = QuarreloPage;
    // The focus and the controllers are looked at once a frame or so: the
    // program asks for events several times a frame.
    var now = performance.now();
    if (!page.queue.length && !(now - page.lookedAt < 8)) {
      page.lookedAt = now;
      page.updateFocus();
      page.pollPads();
    }
    var event = page.queue.shift();
    if (!event) return 0;
    for (var i = 0; i < 6; i++) HEAP32[(fields >> 2) + i] = event[i];
    return 1;
  },

  quarrelo_web_present__deps: ['$QuarreloPage'],
  quarrelo_web_present: function (rgba, width, height) {
    var page = QuarreloPage;
    if (!page.context) return;
    if (page.canvas.width !== width || page.canvas.height !== height) {
      page.canvas.width = width;
      page.canvas.height = height;
    }
    var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    page.context.putImageData(new ImageData(pixels, width, height), 0, 0);
  },

  quarrelo_web_audio_open__deps: ['$QuarreloPage'],
  quarrelo_web_audio_open: function (rate, channels, silent) {
    var page = QuarreloPage;
    var audio = {rate: rate, channels: channels, context: null, node: null, timer: 0};
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!silent) {
      if (!Context) return 0;
      try {
        audio.context = new Context({sampleRate: rate, latencyHint: 'interactive'});
        audio.node = audio.context.createScriptProcessor(1024, 0, channels);
      } catch (error) {
        if (audio.context) audio.context.close();
        return 0;
      }
      audio.node.onaudioprocess = function (event) { page.fill(event.outputBuffer); };
      audio.node.connect(audio.context.destination);
      audio.context.onstatechange = page.audioStateChanged;
    }
    page.audio = audio;
    page.audioStateChanged();
    return 1;
  },

  quarrelo_web_audio_close__deps: ['$QuarreloPage'],
  quarrelo_web_audio_close: function () {
    var audio = QuarreloPage.audio;
    if (!audio) return;
    QuarreloPage.audio = null;
    if (audio.timer) clearInterval(audio.timer);
    if (audio.node) {
      audio.node.onaudioprocess = null;
      audio.node.disconnect();
    }
    if (audio.context) {
      audio.context.onstatechange = null;
      audio.context.close().catch(function () {});
    }
  },

  quarrelo_web_sleep_until__deps: ['$QuarreloPage'],
  quarrelo_web_sleep_until: function (when) {
    Asyncify.handleSleep(function (wakeUp) { QuarreloPage.wakeAt(when, wakeUp); });
  },

  quarrelo_web_console_line: function (text) {
    console.info(UTF8ToString(text));
  },

  quarrelo_web_confirm: function (caption, text) {
    return window.confirm(UTF8ToString(caption) + '\n\n' + UTF8ToString(text)) ? 1 : 0;
  }
});
