// --- pictures: the colour ones decoded once, the two-colour LCD pictures
// (PBM) turned once into canvases of black pixels on transparent.
function parsePbm(bytes) {
  const text = new TextDecoder('latin1').decode(bytes);
  const binary = text.startsWith('P4');
  if (!binary && !text.startsWith('P1')) throw new Error('not a PBM picture');
  let at = 2;
  const number = () => {
    for (;;) {
      while (at < text.length && /\s/.test(text[at])) ++at;
      if (text[at] !== '#') break;
      while (at < text.length && text[at] !== '\n') ++at;
    }
    const start = at;
    while (at < text.length && text[at] >= '0' && text[at] <= '9') ++at;
    return Number(text.slice(start, at));
  };
  const width = number(), height = number();
  if (!(width > 0 && height > 0)) throw new Error('bad PBM size');
  const black = new Uint8Array(width * height);
  if (binary) {
    const rowBytes = (width + 7) >> 3, data = bytes.subarray(at + 1);
    for (let y = 0; y < height; ++y)
      for (let x = 0; x < width; ++x) black[y * width + x] = (data[y * rowBytes + (x >> 3)] >> (7 - (x & 7))) & 1;
  } else {
    let filled = 0;
    for (; at < text.length && filled < black.length; ++at) {
      const c = text[at];
      if (c === '0' || c === '1') black[filled++] = c === '1';
      else if (c === '#') while (at < text.length && text[at] !== '\n') ++at;
    }
    if (filled < black.length) throw new Error('short PBM data');
  }
  return { width, height, black };
}

function lcdCanvas(picture) {
  const canvas = document.createElement('canvas');
  canvas.width = picture.width;
  canvas.height = picture.height;
  const ctx = canvas.getContext('2d');
  const image = ctx.createImageData(picture.width, picture.height);
  // White is transparent, whatever the picture's corners hold.
  for (let i = 0; i < picture.black.length; ++i) if (picture.black[i]) image.data[i * 4 + 3] = 255;
  ctx.putImageData(image, 0, 0);
  return canvas;
}

async function loadPictures(files, names) {
  const pictures = new Map();
  await Promise.all(names.map(async (name) => {
    const jpeg = files.get(`pictures/${name}.jpg`);
    if (jpeg) {
      pictures.set(name, await createImageBitmap(new Blob([jpeg], { type: 'image/jpeg' })));
      return;
    }
    const pbm = files.get(`lcd/${name}.pbm`);
    if (pbm) pictures.set(name, lcdCanvas(parsePbm(pbm)));
  }));
  return pictures;
}
