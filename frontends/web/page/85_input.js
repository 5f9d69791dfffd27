// --- input: the mouse, touch, the keyboard and the pads, reported to the
// console as they come. The console decides what each does; the page only
// says where and which.
const MOUSE_BUTTONS = { 0: 0, 2: 1, 1: 2 };  // the page's buttons as the console's: left, right, middle
const CURSORS = ['default', 'pointer', 'help'];  // the console's arrow, hand and help
const KEY_CODES = { Control: 17, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40 };
const IGNORED_KEY = 0xff;  // a key the console knows nothing of: only its release counts
const LONG_PRESS_MS = 600, LONG_PRESS_SLOP = 10;  // a finger held still on the console: its right click

// The virtual key code of a key: CTRL, the arrows, and letters and digits as
// themselves; punctuation never passes for an arrow.
function virtualKey(event) {
  if (event.key in KEY_CODES) return KEY_CODES[event.key];
  if (/^[a-z0-9]$/i.test(event.key)) return event.key.toUpperCase().charCodeAt(0);
  return IGNORED_KEY;
}

// The pointer on the console's canvas. The mouse's buttons are the console's
// mouse (a press's detail tells a double click, as the platform counts
// them); a finger or a pen is its left button. The painted direction pad and
// the START key, pressed with the left button or a finger, are keys: down
// while held. `pressed()` runs before every press the console takes.
function wirePointer(core, canvas, outline, pressed) {
  const at = (event) => {
    const box = canvas.getBoundingClientRect();
    const scale = box.width / CONSOLE_WIDTH;
    return [Math.floor((event.clientX - box.left) / scale), Math.floor((event.clientY - box.top) / scale)];
  };
  const key = (down, code) => core._vorlak_key(down ? 1 : 0, code, 0);
  const held = new Set();  // the console's mouse buttons held since a press on it
  let mouseKey = 0;        // a painted control held with the left button
  let cursor = '', hint = '';

  canvas.addEventListener('mousedown', (event) => {
    const button = MOUSE_BUTTONS[event.button];
    const [x, y] = at(event);
    if (button === undefined || !outlineContains(outline, x, y)) return;
    event.preventDefault();
    pressed();
    if (button === 0 && !held.has(0) && !mouseKey) {
      mouseKey = core._vorlak_painted_key_at(x, y);
      if (mouseKey) return key(true, mouseKey);
    }
    held.add(button);
    core._vorlak_mouse_press(button, x, y, event.detail >= 2 && event.detail % 2 === 0 ? 1 : 0);
  });
  window.addEventListener('mouseup', (event) => {
    const button = MOUSE_BUTTONS[event.button];
    if (button === 0 && mouseKey) {
      key(false, mouseKey);
      mouseKey = 0;
      return;
    }
    if (!held.delete(button)) return;
    const [x, y] = at(event);
    core._vorlak_mouse_release(button, x, y);
  });
  window.addEventListener('mousemove', (event) => {
    const [x, y] = at(event);
    const over = event.target === canvas && outlineContains(outline, x, y);
    if (!over && !held.size) return;
    // The left button is held for the console only if the console took its press.
    core._vorlak_mouse_move(x, y, held.has(0) && event.buttons & 1 ? 1 : 0);
    const nextCursor = over || held.size ? CURSORS[core._vorlak_cursor_at(x, y)] : 'default';
    const nextHint = over ? core.UTF8ToString(core._vorlak_hint_at(x, y)) : '';
    if (nextCursor !== cursor) canvas.style.cursor = cursor = nextCursor;
    if (nextHint !== hint) canvas.title = hint = nextHint;
  });
  // The mouse's right button opens the menu through the console.
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  // Fingers and pens: no scrolling or zooming takes a touch that lands here.
  const fingerKeys = new Map();  // pointer id -> the key it holds
  let finger = null;             // the finger that is the console's mouse
  let longPress = 0, pressedAt = null;
  const endLongPress = () => { clearTimeout(longPress); longPress = 0; };
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'mouse') return;
    const [x, y] = at(event);
    if (!outlineContains(outline, x, y)) return;
    event.preventDefault();
    pressed();
    canvas.setPointerCapture(event.pointerId);
    const code = core._vorlak_painted_key_at(x, y);
    if (code) {
      fingerKeys.set(event.pointerId, code);
      return key(true, code);
    }
    if (finger !== null || held.size) return;  // the console has one mouse
    finger = event.pointerId;
    pressedAt = [event.clientX, event.clientY];
    core._vorlak_mouse_press(0, x, y, 0);
    // Held still, a finger gives the right click that opens the menu.
    longPress = setTimeout(() => {
      longPress = 0;
      finger = null;  // what this finger does next is not the console's
      core._vorlak_mouse_release(0, x, y);
      core._vorlak_mouse_press(1, x, y, 0);
      core._vorlak_mouse_release(1, x, y);
    }, LONG_PRESS_MS);
  });
  canvas.addEventListener('pointermove', (event) => {
    if (event.pointerType === 'mouse' || event.pointerId !== finger) return;
    if (longPress && Math.hypot(event.clientX - pressedAt[0], event.clientY - pressedAt[1]) > LONG_PRESS_SLOP) endLongPress();
    const [x, y] = at(event);
    core._vorlak_mouse_move(x, y, 1);
  });
  const lifted = (event) => {
    if (event.pointerType === 'mouse') return;
    const code = fingerKeys.get(event.pointerId);
    if (code) {
      fingerKeys.delete(event.pointerId);
      return key(false, code);
    }
    if (event.pointerId === finger) {
      endLongPress();
      finger = null;
      // A touch the browser took back clicks nothing: released away from the console.
      const [x, y] = event.type === 'pointercancel' ? [-1, -1] : at(event);
      core._vorlak_mouse_release(0, x, y);
    }
  };
  canvas.addEventListener('pointerup', lifted);
  canvas.addEventListener('pointercancel', lifted);
}

// The keyboard, while the console has it. The menu's keys are taken before
// the console sees them; while the menu is open, keys are the menu's.
function wireKeyboard(core, target, menu, shortcuts) {
  target.addEventListener('keydown', (event) => {
    if (menu.open) {
      event.preventDefault();
      if (!event.repeat) menu.key(event);
      return;
    }
    if (event.key in shortcuts) {
      event.preventDefault();
      if (!event.repeat) shortcuts[event.key]?.();
      return;
    }
    const code = virtualKey(event);
    if (code === 17 || (code >= 37 && code <= 40)) event.preventDefault();  // no scrolling
    core._vorlak_key(1, code, event.repeat ? 1 : 0);
  });
  target.addEventListener('keyup', (event) => core._vorlak_key(0, virtualKey(event), 0));
}

// The pads through the Gamepad API, with the desktop's mapping: the d-pad
// and the left stick steer, A, B and Start give CTRL, Back (Select) is the
// SOUND key. A pad the browser has no standard mapping for gives CTRL with
// buttons 0, 1 and its highest, and steers with axes 0 and 1.
//
// Pads count only while the console has the keyboard (`active`). A browser
// polls its pads itself for as long as a page watches for them, so the page
// watches only while it is `wanted` (the console is in use) or a pad is
// connected; a connected pad is read once a frame.
class PadReader {
  constructor(core) {
    this.core = core;
    this.ids = new Map();  // the browser's index of a pad -> the console's id of it
    this.nextId = 1;
    this.connected = 0;
    this.active = false;
    this.wanted = false;
    this.watching = false;
    this.frame = 0;
    this.reads = 0;  // for the page's checks
    this.changed = () => this.refresh();
  }

  pads() {
    return navigator.getGamepads ? Array.from(navigator.getGamepads()).filter((p) => p && p.connected !== false) : [];
  }

  setActive(active, wanted = active) {
    this.active = active;
    this.wanted = wanted;
    this.update();
  }

  update() {
    const watching = this.active && (this.wanted || this.connected > 0);
    if (watching !== this.watching) {
      this.watching = watching;
      for (const kind of ['gamepadconnected', 'gamepaddisconnected']) {
        if (watching) window.addEventListener(kind, this.changed);
        else window.removeEventListener(kind, this.changed);
      }
      if (watching) return this.refresh();  // the pads connected meanwhile
    }
    const reading = this.active && this.connected > 0;
    if (reading && !this.frame) this.frame = requestAnimationFrame(() => this.read());
    if (!reading && this.frame) {
      cancelAnimationFrame(this.frame);
      this.frame = 0;
    }
  }

  refresh() {
    const present = new Set(this.pads().map((p) => p.index));
    for (const [index, id] of this.ids) {
      if (present.has(index)) continue;
      this.ids.delete(index);
      this.core._vorlak_pad_gone(id);
    }
    this.connected = present.size;
    this.update();
  }

  read() {
    this.frame = 0;
    ++this.reads;
    const pads = this.pads();
    if (pads.length !== this.connected) return this.refresh();  // one went without a word
    for (const pad of pads) {
      let id = this.ids.get(pad.index);
      if (!id) this.ids.set(pad.index, (id = this.nextId++));
      const b = (i) => (pad.buttons[i] && pad.buttons[i].pressed ? 1 : 0);
      const axis = (i) => Math.max(-32768, Math.min(32767, Math.round((pad.axes[i] || 0) * 32767)));
      if (pad.mapping === 'standard') {
        this.core._vorlak_pad(id, b(14), b(15), b(12), b(13), b(0), b(1), b(9), b(8), axis(0), axis(1));
      } else {
        const highest = pad.buttons.length - 1;
        this.core._vorlak_pad(id, 0, 0, 0, 0, b(0), b(1), highest > 1 ? b(highest) : 0, 0, axis(0), axis(1));
      }
    }
    this.update();
  }
}
