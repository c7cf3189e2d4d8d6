// Exercises in the browser, part of the program's script (--pre-js): the
// exercise library kept in the browser's storage (IndexedDB), import and
// export of .grimalou files, and links that carry an exercise (#e=...).
//
// The program keeps its library in its user data folder, as on a desktop;
// here that folder is stored in IndexedDB, loaded before the program starts
// and stored again after every change. A link's exercise becomes a file that
// the program is given as its argument, as a desktop gives it a file opened
// with a double click.

// The browser's file system has HOME=/home/web_user: the program's data
// folder and its library are below it.
var GRIMALOU_DATA = '/home/web_user/.local/share/grimalou';
var GRIMALOU_LIBRARY = GRIMALOU_DATA + '/exercises';
// The program's settings (sound on or off), kept like the library.
var GRIMALOU_CONFIG = '/home/web_user/.config/grimalou';
// The folders kept in IndexedDB.
var GRIMALOU_KEPT = [GRIMALOU_DATA, GRIMALOU_CONFIG];
function grimalouKeeps(path) {
  return GRIMALOU_KEPT.some(function (folder) { return String(path).startsWith(folder); });
}
// Where a link's exercise is written for the program.
var GRIMALOU_LINK_FILE = '/tmp/link.grimalou';
var GRIMALOU_EXTENSION = '.grimalou';
// The reader refuses anything bigger; nothing bigger is taken in.
var GRIMALOU_MAX_BYTES = 1 << 20;

// The exercise of the link the page was opened with, null without one.
var GRIMALOU_LINK = location.hash.startsWith('#e=') ? location.hash.slice(3) : null;
// The program's arguments: the link's exercise file, added once the link is
// read and the program's reader takes it (the program reads this same array
// when it starts).
Module.arguments = [];

Module.exercises = (function () {
  var syncing = null, again = false;

  // Stores the data folder in IndexedDB; changes made meanwhile are stored
  // by one more pass. Resolves once everything is stored.
  function persist() {
    if (syncing) {
      again = true;
      return syncing;
    }
    syncing = new Promise(function (done) {
      FS.syncfs(false, function (error) {
        if (error) console.error('The exercise library could not be stored: ' + error);
        done();
      });
    }).then(function () {
      syncing = null;
      if (again) {
        again = false;
        return persist();
      }
    });
    return syncing;
  }

  function toBase64Url(bytes) {
    var text = '';
    for (var i = 0; i < bytes.length; i++) text += String.fromCharCode(bytes[i]);
    return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }
  // Throws on anything that is not base64url.
  function fromBase64Url(text) {
    var binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    var bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }
  function through(stream, bytes) {
    return new Response(new Blob([bytes]).stream().pipeThrough(stream)).arrayBuffer()
      .then(function (buffer) { return new Uint8Array(buffer); });
  }

  // The link that opens Grimalou on this exercise text: the text compressed
  // (raw deflate) in base64url after "#e=".
  function linkOf(text) {
    return through(new CompressionStream('deflate-raw'), new TextEncoder().encode(text)).then(function (bytes) {
      return location.href.replace(/#.*$/, '') + '#e=' + toBase64Url(bytes);
    });
  }
  // Rejects a fragment that does not hold a compressed text.
  function textOfLink(fragment) {
    return Promise.resolve(fragment).then(fromBase64Url).then(function (bytes) {
      return through(new DecompressionStream('deflate-raw'), bytes);
    }).then(function (bytes) {
      if (bytes.length > GRIMALOU_MAX_BYTES) throw new Error('it holds more than an exercise can');
      return new TextDecoder().decode(bytes);
    });
  }

  // The library's exercise files in the order the program shows them: one
  // rule, the program's own.
  function list() {
    if (!runtimeInitialized) return [];
    return Module.ccall('grimalou_library_names', 'string', [], []).split('\n').filter(function (n) { return n; });
  }
  function textOf(name) { return FS.readFile(GRIMALOU_LIBRARY + '/' + name, {encoding: 'utf8'}); }

  // Adds a file's text to the library under its own name (with "-2", "-3",
  // ... when the name is taken), after the program's reader took it; an
  // error naming the file otherwise, and nothing changes.
  // What the program's reader finds wrong with an exercise text, "" when
  // nothing.
  function problemOf(text) {
    return text.length > GRIMALOU_MAX_BYTES ? Module.T('it is bigger than an exercise can be')
         : Module.ccall('grimalou_exercise_problem', 'string', ['string'], [text]);
  }

  function importText(fileName, text) {
    var problem = problemOf(text);
    if (problem) throw new Error(Module.T('%s is not an exercise Grimalou can play: %s', fileName, problem));
    var stem = fileName.replace(/\.grimalou$/i, '').replace(/[\/\\]/g, '_') || 'exercise';
    FS.mkdirTree(GRIMALOU_LIBRARY);
    var name = stem + GRIMALOU_EXTENSION;
    for (var n = 2; FS.analyzePath(GRIMALOU_LIBRARY + '/' + name).exists; n++) name = stem + '-' + n + GRIMALOU_EXTENSION;
    FS.writeFile(GRIMALOU_LIBRARY + '/' + name, text);
    persist();
    return name;
  }

  function downloadBytes(name, bytes, type) {
    var a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([bytes], {type: type}));
    a.download = name;
    a.click();
    setTimeout(function () { URL.revokeObjectURL(a.href); }, 0);
  }
  function download(name) { downloadBytes(name, textOf(name), 'application/x-grimalou-exercise'); }
  // A file of the program's folder, by its path (the library's Show file).
  function downloadPath(path) {
    downloadBytes(path.replace(/^.*\//, ''), FS.readFile(path), 'application/x-grimalou-exercise');
  }
  // The practice log, for the therapist; a header alone when nothing was played yet.
  var GRIMALOU_LOG = GRIMALOU_DATA + '/practice-log.csv';
  function downloadLog() {
    var bytes = FS.analyzePath(GRIMALOU_LOG).exists ? FS.readFile(GRIMALOU_LOG) : 'date,title,file,child,asked,done,matched\r\n';
    downloadBytes('practice-log.csv', bytes, 'text/csv');
  }
  // The library's Send: the system's sharing with the file where the
  // browser can share files, else the download and the link.
  function send(path) {
    var name = path.replace(/^.*\//, '');
    var text = FS.readFile(path, {encoding: 'utf8'});
    var file = new File([text], name, {type: 'application/x-grimalou-exercise'});
    if (navigator.canShare && navigator.canShare({files: [file]})) {
      navigator.share({files: [file], title: Module.T('A Grimalou exercise')}).catch(function () {});
      return;
    }
    downloadBytes(name, text, 'application/x-grimalou-exercise');
    linkOf(text).then(function (link) { Module.showNotice(Module.T('The exercise was downloaded. Its link: %s', link)); });
  }

  // A link's exercise once the page has read it; null while it has not, or
  // when the link was damaged.
  var linkText = null;

  // The program is given the link's exercise only when its reader takes it;
  // a damaged link opens the title with a message that stays until it is
  // dismissed, and leaves the address, so that a reload starts clean.
  function giveLink() {
    var problem = linkText === null ? '' : problemOf(linkText);
    if (linkText !== null && !problem) {
      FS.writeFile(GRIMALOU_LINK_FILE, linkText);
      Module.arguments.push(GRIMALOU_LINK_FILE);
      return;
    }
    if (problem) console.warn('The link does not hold an exercise: ' + problem);
    history.replaceState(null, '', location.href.replace(/#.*$/, ''));
    Module.showNotice(Module.T('This exercise link is damaged: ask for it again.'));
  }
  if (GRIMALOU_LINK !== null) {
    var pageInitialized = Module.onRuntimeInitialized;
    Module.onRuntimeInitialized = function () {
      giveLink();
      if (pageInitialized) pageInitialized();
    };
  }

  // Before the program starts: the library from IndexedDB, and the exercise
  // of a link.
  Module.preRun = Module.preRun || [];
  Module.preRun.push(function () {
    GRIMALOU_KEPT.forEach(function (folder) {
      FS.mkdirTree(folder);
      FS.mount(IDBFS, {}, folder);
    });
    addRunDependency('exercise library');
    FS.syncfs(true, function (error) {
      if (error) console.error('The exercise library could not be read: ' + error);
      removeRunDependency('exercise library');
    });
    if (GRIMALOU_LINK !== null) {
      addRunDependency('exercise link');
      textOfLink(GRIMALOU_LINK).then(function (text) {
        linkText = text;
      }, function (error) {
        console.warn('The link does not hold an exercise: ' + error.message);
      }).then(function () { removeRunDependency('exercise link'); });
    }
    // What the program saves or deletes in its data folder is stored at once.
    // The practice log grows by appends: stored when the program closes it.
    var close = FS.close;
    FS.close = function (stream) {
      var result = close.apply(FS, arguments);
      if (stream && grimalouKeeps(stream.path)) persist();
      return result;
    };
    ['rename', 'unlink', 'rmdir'].forEach(function (operation) {
      var original = FS[operation];
      FS[operation] = function (path) {
        var result = original.apply(FS, arguments);
        if (grimalouKeeps(arguments[arguments.length - 1])) persist();
        return result;
      };
    });
  });

  return {list: list, textOf: textOf, importText: importText, download: download, linkOf: linkOf,
          persist: persist, send: send, downloadPath: downloadPath, downloadLog: downloadLog};
})();
