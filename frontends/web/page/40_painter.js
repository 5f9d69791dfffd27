// --- drawing: the skin, then every shown element in catalogue order, each
// picture at its place; only the rectangles that changed are repainted.
const CONSOLE_WIDTH = 461, CONSOLE_HEIGHT = 738;

class Painter {
  // elements: the catalogue ({name, left, top, width, height}) in drawing
  // order; state(): per drawn element, shown and the picture it draws.
  constructor(canvas, elements, state, pictures, outline) {
    this.canvas = canvas;
    this.ctx = canvas.getContext('2d');
    this.elements = elements;
    this.state = state;
    this.images = elements.map((e) => pictures.get(e.name) || null);
    this.outline = outline ? outlinePath(outline) : null;
    this.scale = 0;  // not sized yet
    this.dirty = [];
    this.frameAsked = false;
    this.paints = 0;  // frames painted, for the page's checks
  }

  // Device pixels per console pixel. At a whole number the console is
  // painted straight onto the canvas. At any other scale it is composed at
  // its own size and the whole of it is then scaled onto the canvas in one
  // go: a partly repainted area would otherwise sample the pictures with
  // another phase than its surroundings and show seams. LCD pixels are never
  // smoothed at 1 and above; below 1 (a screen with fewer pixels than the
  // console) they are averaged, so that thin segments stay visible.
  setScale(scale) {
    const width = Math.max(1, Math.round(CONSOLE_WIDTH * scale));
    this.canvas.width = width;
    this.canvas.height = consoleHeightFor(width);
    this.scale = width / CONSOLE_WIDTH;
    if (Number.isInteger(this.scale)) {
      this.composed = null;
    } else if (!this.composed) {
      this.composed = document.createElement('canvas');
      this.composed.width = CONSOLE_WIDTH;
      this.composed.height = CONSOLE_HEIGHT;
    }
    this.dirty = [{ left: 0, top: 0, width: CONSOLE_WIDTH, height: CONSOLE_HEIGHT }];
    this.paintNow();
  }

  repaintAll() { this.changed(0, 0, CONSOLE_WIDTH, CONSOLE_HEIGHT); }

  changed(left, top, width, height) {
    this.dirty.push({ left, top, width, height });
    if (!this.frameAsked) {
      this.frameAsked = true;
      requestAnimationFrame(() => this.paintNow());
    }
  }

  paintNow() {
    this.frameAsked = false;
    const rects = this.dirty;
    this.dirty = [];
    if (!rects.length) return;
    if (!this.composed) {
      this.paint(this.ctx, this.scale, rects);
    } else {
      this.paint(this.composed.getContext('2d'), 1, rects);
      const ctx = this.ctx;
      ctx.imageSmoothingEnabled = this.scale < 1;
      ctx.imageSmoothingQuality = 'high';
      ctx.clearRect(0, 0, this.canvas.width, this.canvas.height);
      ctx.drawImage(this.composed, 0, 0, this.canvas.width, this.canvas.height);
    }
    ++this.paints;
  }

  paint(ctx, scale, rects) {
    const clip = new Path2D();
    for (const r of rects) clip.rect(r.left, r.top, r.width, r.height);
    ctx.save();
    ctx.setTransform(scale, 0, 0, scale, 0, 0);
    ctx.imageSmoothingEnabled = false;
    ctx.clip(clip);
    if (this.outline) ctx.clip(this.outline);
    const state = this.state();
    for (let e = 0; e < state.length / 2; ++e) {
      const picture = state[2 * e + 1];
      if (!state[2 * e] || picture < 0 || !this.images[picture]) continue;
      const el = this.elements[e];
      if (!rects.some((r) => r.left < el.left + el.width && el.left < r.left + r.width &&
                             r.top < el.top + el.height && el.top < r.top + r.height)) continue;
      ctx.drawImage(this.images[picture], el.left, el.top);
    }
    ctx.restore();
  }
}

function outlinePath(rects) {
  const path = new Path2D();
  for (const r of rects) path.rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  return path;
}

// The console's size on the page: whole multiples of its own size where the
// window holds it, else scaled down to fit. The canvas is backed at device
// pixels, so that nothing is resampled after it is drawn.
function consoleLayout(viewWidth, viewHeight, devicePixelRatio) {
  const fit = Math.min(viewWidth / CONSOLE_WIDTH, viewHeight / CONSOLE_HEIGHT);
  const cssScale = fit >= 1 ? Math.floor(fit) : fit;
  // Rounded down, so that a console scaled to fit never spills over.
  const deviceWidth = Math.max(1, Math.floor(CONSOLE_WIDTH * cssScale * devicePixelRatio + 1e-6));
  return { cssScale, deviceScale: deviceWidth / CONSOLE_WIDTH, cssWidth: deviceWidth / devicePixelRatio,
           cssHeight: consoleHeightFor(deviceWidth) / devicePixelRatio };
}

// The height in device pixels that goes with a width, in the console's proportions.
function consoleHeightFor(deviceWidth) {
  return Math.max(1, Math.floor((CONSOLE_HEIGHT * deviceWidth) / CONSOLE_WIDTH + 1e-6));
}
