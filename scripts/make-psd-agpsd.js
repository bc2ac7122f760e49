// Writes PSD fixtures with layer effects and fill layers through ag-psd, a
// PSD writer independent of ours (npm package "ag-psd").
//   node scripts/make-psd-agpsd.js <ag-psd folder> <output folder>
'use strict';
const fs = require('fs');
const path = require('path');
const agPsd = require(process.argv[2]);
const out = process.argv[3];

function image(width, height, pixel) {
  const data = new Uint8ClampedArray(width * height * 4);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x)
      data.set(pixel(x, y), (y * width + x) * 4);
  return { width, height, data };
}

const rgb = (r, g, b) => ({ r, g, b });
const px = (value) => ({ units: 'Pixels', value });
const contour = (name, points) => ({ name, curve: points.map(([x, y]) => ({ x, y })) });
const gradient = {
  type: 'solid', name: 'Sunrise', smoothness: 0.5,
  colorStops: [{ color: rgb(255, 64, 0), location: 0, midpoint: 0.5 },
               { color: rgb(255, 230, 90), location: 1, midpoint: 0.3 }],
  opacityStops: [{ opacity: 1, location: 0, midpoint: 0.5 }, { opacity: 0.25, location: 1, midpoint: 0.5 }],
};

const width = 24, height = 16;
const psd = {
  width, height,
  imageData: image(width, height, (x, y) => [x * 10, y * 15, 120, 255]),
  children: [
    { name: 'bg', left: 0, top: 0, imageData: image(width, height, (x, y) => [40, 80 + y, 160, 255]) },
    {
      name: 'shadowed', left: 3, top: 2,
      imageData: image(10, 8, (x, y) => [200, 20 * y, 10 * x, 255]),
      effects: {
        dropShadow: [{ enabled: true, color: rgb(10, 20, 40), blendMode: 'multiply', opacity: 0.6,
                       angle: 135, distance: px(6), choke: px(2), size: px(9), useGlobalLight: false,
                       antialiased: true, noise: { units: 'Percent', value: 4 },
                       layerConceals: true, contour: contour('Valley', [[0, 255], [128, 40], [255, 255]]) }],
        outerGlow: { enabled: true, color: rgb(255, 255, 160), blendMode: 'screen', opacity: 0.8,
                     size: px(11), choke: px(3), range: 0.6, jitter: 0.1, source: 'edge',
                     antialiased: false },
        stroke: [{ enabled: true, position: 'inside', fillType: 'color', color: rgb(0, 0, 0),
                   size: px(2), blendMode: 'normal', opacity: 1 }],
      },
    },
    {
      name: 'bevelled', left: 12, top: 5,
      imageData: image(9, 9, (x, y) => [30 * x, 30 * y, 90, 200]),
      effects: {
        bevel: { enabled: true, style: 'pillow emboss', technique: 'chisel hard', depth: 2.5,
                 direction: 'down', size: px(7), soften: px(1), angle: 60, altitude: 40,
                 useGlobalLight: false, highlightBlendMode: 'screen', highlightColor: rgb(255, 255, 220),
                 highlightOpacity: 0.7, shadowBlendMode: 'multiply', shadowColor: rgb(20, 0, 60),
                 shadowOpacity: 0.45 },
        satin: { enabled: true, color: rgb(90, 0, 90), blendMode: 'overlay', opacity: 0.35, angle: 30,
                 distance: px(5), size: px(8), invert: false, antialiased: true },
        gradientOverlay: [{ enabled: true, blendMode: 'soft light', opacity: 0.9, gradient,
                            type: 'reflected', reverse: true, align: false, angle: -30, scale: 0.8,
                            offset: { x: 0.1, y: -0.2 } }],
        solidFill: [{ enabled: true, color: rgb(0, 128, 255), blendMode: 'color', opacity: 0.5 }],
        innerShadow: [{ enabled: true, color: rgb(0, 0, 0), blendMode: 'multiply', opacity: 0.75,
                        angle: 90, distance: px(3), choke: px(0), size: px(4) }],
        innerGlow: { enabled: true, color: rgb(255, 200, 0), blendMode: 'screen', opacity: 0.5,
                     size: px(6), source: 'center' },
      },
    },
    { name: 'solid', left: 0, top: 0, imageData: image(1, 1, () => [0, 0, 0, 0]),
      vectorFill: { type: 'color', color: rgb(180, 60, 20) } },
    { name: 'ramp', left: 0, top: 0, imageData: image(1, 1, () => [0, 0, 0, 0]),
      vectorFill: { type: 'solid', name: 'Ramp', colorStops: gradient.colorStops,
                    opacityStops: gradient.opacityStops, style: 'radial', angle: 45, scale: 0.75,
                    reverse: true, dither: true, align: false } },
  ],
};

const buffer = agPsd.writePsdBuffer(psd, { generateThumbnail: false });
fs.writeFileSync(path.join(out, 'ag_effects.psd'), buffer);
console.log('wrote', path.join(out, 'ag_effects.psd'));
