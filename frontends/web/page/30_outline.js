// --- the console's outline: the stored block (a 32-bit byte count N, then
// N bytes of region data: a 32-byte header and the rectangles, left, top,
// right, bottom, right and bottom exclusive). A block that does not hold
// together gives no outline: the console is then drawn rectangular.
function parseOutline(bytes) {
  if (!bytes || bytes.length < 4) return null;
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const size = view.getUint32(0, true);
  if (size === 0 || size + 4 !== bytes.length || size < 32) return null;
  const count = view.getUint32(12, true);
  if (view.getUint32(4, true) !== 32 || view.getUint32(8, true) !== 1 || 32 + count * 16 !== size) return null;
  const rects = [];
  for (let i = 0; i < count; ++i) {
    const at = 4 + 32 + i * 16;
    const [left, top, right, bottom] = [0, 4, 8, 12].map((o) => view.getInt32(at + o, true));
    if (right <= left || bottom <= top) return null;
    rects.push({ left, top, right, bottom });
  }
  return rects;
}

function outlineContains(rects, x, y) {
  if (!rects) return x >= 0 && y >= 0 && x < CONSOLE_WIDTH && y < CONSOLE_HEIGHT;
  return rects.some((r) => x >= r.left && x < r.right && y >= r.top && y < r.bottom);
}

// The outline as a CSS clip path at the given scale: the rectangles' union.
function outlineClipPath(rects, scale) {
  const n = (v) => +(v * scale).toFixed(3);
  return `path(nonzero, "${rects.map((r) =>
    `M${n(r.left)} ${n(r.top)}H${n(r.right)}V${n(r.bottom)}H${n(r.left)}Z`).join('')}")`;
}
