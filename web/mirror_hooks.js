// What the page's camera mirror takes from the program's own data: the
// chime it plays with the star.
Module.mirrorChime = function () {
  try {
    return FS.readFile('/data/sounds/chime.ogg');
  } catch (e) {
    return null;
  }
};
