// The page's own text boxes over the program's text fields, part of the
// program's script (--pre-js). A phone brings its keyboard up only for a text
// box of the page, never for a canvas: while the program shows text fields
// (the library's editor, once a finger was seen), each gets one of these
// boxes on top of it, styled like it. What the box holds goes to the program
// whole at every change, so that the keyboard's own ways of typing (words
// composed, corrected, pasted) all end in the field as they end in the box.
Module.textFields = (function () {
  var boxes = [];
  // Sends box i's text, its caret and how the typing ended (0 typing,
  // 1 Enter, 2 Escape).
  function send(i, end) {
    var box = boxes[i];
    var caret = box.selectionStart === null ? box.value.length : box.selectionStart;
    // The program counts characters, the page UTF-16 units.
    var chars = Array.from(box.value.slice(0, caret)).length;
    Module.ccall('grimalou_text_entry', null, ['number', 'string', 'number', 'number'], [i, box.value, chars, end]);
  }
  function boxAt(i) {
    if (boxes[i]) return boxes[i];
    var box = document.createElement('input');
    box.type = 'text';
    box.className = 'grimalou-field';
    box.setAttribute('autocomplete', 'off');
    box.setAttribute('enterkeyhint', 'done');
    box.style.cssText = 'position:fixed;box-sizing:border-box;margin:0;padding:0 0.4em;border:0;' +
      'border-bottom:3px solid #5c8fc7;background:#fff;color:#212e45;outline:none;z-index:2';
    box.addEventListener('input', function () { send(i, 0); });
    box.addEventListener('focus', function () { send(i, 0); });
    box.addEventListener('keydown', function (event) {
      if (event.key !== 'Enter' && event.key !== 'Escape') return;
      event.preventDefault();
      send(i, event.key === 'Enter' ? 1 : 2);
      box.blur();
    });
    document.body.appendChild(box);
    boxes[i] = box;
    return box;
  }
  // Puts a box on each field the program shows, and takes away the others.
  function follow() {
    if (!Module.calledRun) return;
    var count = Module.ccall('grimalou_text_fields', 'number', [], []);
    var canvas = Module.canvas.getBoundingClientRect();
    for (var i = 0; i < Math.max(count, boxes.length); ++i) {
      if (i >= count) {
        if (document.activeElement === boxes[i]) boxes[i].blur();
        boxes[i].hidden = true;
        continue;
      }
      var described = Module.ccall('grimalou_text_field', 'string', ['number'], [i]);
      var cut = described.indexOf('\n');
      var place = described.slice(0, cut).split(' ').map(Number);
      var box = boxAt(i);
      box.hidden = false;
      box.style.left = canvas.left + place[0] * canvas.width + 'px';
      box.style.top = canvas.top + place[1] * canvas.height + 'px';
      box.style.width = place[2] * canvas.width + 'px';
      box.style.height = place[3] * canvas.height + 'px';
      // At least 16 px: a smaller text makes some phones zoom the page.
      box.style.fontSize = Math.max(16, 0.5 * place[3] * canvas.height) + 'px';
      // The program's text wins while the box is not being typed in.
      if (document.activeElement !== box) box.value = described.slice(cut + 1);
    }
  }
  setInterval(follow, 150);
  return {boxes: boxes};
})();
