#!/usr/bin/env node
// Writes the base layers of the route map from Natural Earth 1:50m (as the npm
// package world-atlas carries it) into the compact file the program reads.
//
//   npm ci && node make-mapdata.js [--out FILE]
//
// Layers:
//   land        polygons of land-50m (each an outer ring and its holes)
//   lakes       the holes of those polygons: inland waters enclosed by land
//               (at 1:50m the data carry the Caspian Sea this way)
//   coastlines  the rings of land-50m without the edges Natural Earth adds
//               where it cuts land at the 180th meridian and closes
//               Antarctica along the south pole's parallel
//   borders     the arcs of countries-50m that two different countries share
//
// Edges longer than one degree are divided (straight in longitude and
// latitude, as the data mean them), so that a projection bends them. An edge
// whose ends lie on either side of the 180th meridian (the data's rings cross
// it, as at Chukotka, Wrangel Island and Fiji) is the short hop across it,
// not a sweep around the world.
//
// File layout, little endian:
//   0   8 bytes  magic "KXMAP\r\n\x1a" (a text-mode copy breaks it)
//   8   uint32   format version, 1
//   12  uint32   payload size in bytes
//   16  uint32   CRC-32 (ISO 3309, as zlib) of the payload
//   20  payload:
//       uint32 layer count, then per layer:
//         uint8 kind (1 land, 2 lakes, 3 coastlines, 4 borders)
//         uint8 geometry (1 polygons, 2 lines), uint16 zero
//         uint32 part count; a polygon part is uint32 ring count and that many
//         point lists, a line part is one point list
//       point list: uint32 point count, then per point the longitude and the
//       latitude in units of 1e-5 degree, each as the difference from the
//       previous point of the list (the first from 0), zigzag-encoded as an
//       unsigned LEB128 varint
'use strict';

const fs = require('fs');
const path = require('path');

const UNIT = 1e5; // file units per degree
const MAX_EDGE = 1.0; // degrees

function parseArgs(argv) {
    const options = {out: path.join(__dirname, '..', '..', 'data', 'map', 'kalyxmap.dat')};
    for (let i = 0; i < argv.length; ++i) {
        if (argv[i] === '--out' && i + 1 < argv.length)
            options.out = argv[++i];
        else
            throw new Error(`unknown argument ${argv[i]}; usage: make-mapdata.js [--out FILE]`);
    }
    return options;
}

function load(name) {
    return JSON.parse(fs.readFileSync(require.resolve(`world-atlas/${name}`), 'utf8'));
}

// TopoJSON arcs are delta-encoded on a quantised grid.
function decodeArcs(topology) {
    const [sx, sy] = topology.transform.scale;
    const [tx, ty] = topology.transform.translate;
    return topology.arcs.map(arc => {
        let x = 0, y = 0;
        return arc.map(([dx, dy]) => {
            x += dx;
            y += dy;
            return [x * sx + tx, y * sy + ty];
        });
    });
}

function arcPoints(arcs, index) {
    return index >= 0 ? arcs[index] : arcs[~index].slice().reverse();
}

function ringPoints(arcs, ring) {
    const points = [];
    for (const index of ring) {
        const a = arcPoints(arcs, index);
        for (let i = points.length ? 1 : 0; i < a.length; ++i)
            points.push(a[i]);
    }
    return points;
}

function planarArea(ring) {
    let s = 0;
    for (let i = 0; i + 1 < ring.length; ++i)
        s += ring[i][0] * ring[i + 1][1] - ring[i + 1][0] * ring[i][1];
    return s / 2;
}

function wrapLongitude(x) {
    return x > 180 ? x - 360 : x < -180 ? x + 360 : x;
}

function densify(points) {
    const out = [];
    for (let i = 0; i < points.length; ++i) {
        if (i > 0) {
            const [x0, y0] = points[i - 1];
            const [x1, y1] = points[i];
            const dx = wrapLongitude(x1 - x0);
            const steps = Math.ceil(Math.max(Math.abs(dx), Math.abs(y1 - y0)) / MAX_EDGE);
            for (let k = 1; k < steps; ++k)
                out.push([wrapLongitude(x0 + dx * k / steps), y0 + (y1 - y0) * k / steps]);
        }
        out.push(points[i]);
    }
    return out;
}

function onCut(a, b) {
    const meridian = Math.abs(Math.abs(a[0]) - 180) < 1e-6 && Math.abs(Math.abs(b[0]) - 180) < 1e-6;
    const southPole = a[1] < -89.99 && b[1] < -89.99;
    return meridian || southPole;
}

// A ring without the artificial edges, as the pieces of coast between them.
function coastPieces(ring) {
    const pieces = [];
    let current = [ring[0]];
    for (let i = 1; i < ring.length; ++i) {
        if (onCut(ring[i - 1], ring[i])) {
            if (current.length > 1)
                pieces.push(current);
            current = [ring[i]];
        } else {
            current.push(ring[i]);
        }
    }
    if (current.length > 1)
        pieces.push(current);
    // A closed ring cut nowhere starts and ends at the same point; a ring cut
    // somewhere has its first piece continue the last one.
    if (pieces.length > 1 && !onCut(ring[ring.length - 1], ring[0])) {
        const first = pieces.shift();
        const last = pieces.pop();
        pieces.push(last.concat(first.slice(1)));
    }
    return pieces;
}

function landLayers() {
    const topology = load('land-50m.json');
    const arcs = decodeArcs(topology);
    const land = [];
    const lakes = [];
    const coast = [];
    for (const geometry of topology.objects.land.geometries) {
        const polygons = geometry.type === 'Polygon' ? [geometry.arcs] : geometry.arcs;
        for (const polygon of polygons) {
            const rings = [];
            polygon.forEach((ring, r) => {
                const points = ringPoints(arcs, ring);
                // Natural Earth closes Antarctica with a hole of no area along the pole.
                if (points.length < 4 || Math.abs(planarArea(points)) < 1e-6)
                    return;
                rings.push(densify(points));
                if (r > 0)
                    lakes.push([densify(points)]);
                for (const piece of coastPieces(points))
                    coast.push(densify(piece));
            });
            if (rings.length)
                land.push(rings);
        }
    }
    return {land, lakes, coast};
}

function borderLines() {
    const topology = load('countries-50m.json');
    const arcs = decodeArcs(topology);
    const owners = new Map();
    topology.objects.countries.geometries.forEach((geometry, country) => {
        const polygons = geometry.type === 'Polygon' ? [geometry.arcs] : geometry.type === 'MultiPolygon' ? geometry.arcs : [];
        for (const polygon of polygons)
            for (const ring of polygon)
                for (const index of ring) {
                    const arc = index >= 0 ? index : ~index;
                    if (!owners.has(arc))
                        owners.set(arc, new Set());
                    owners.get(arc).add(country);
                }
    });
    const lines = [];
    for (const [arc, countries] of [...owners.entries()].sort((a, b) => a[0] - b[0]))
        if (countries.size > 1)
            lines.push(densify(arcs[arc]));
    return lines;
}

class Writer {
    constructor() {
        this.chunks = [];
    }
    u8(v) { this.chunks.push(Buffer.from([v])); }
    u16(v) { const b = Buffer.alloc(2); b.writeUInt16LE(v); this.chunks.push(b); }
    u32(v) { const b = Buffer.alloc(4); b.writeUInt32LE(v); this.chunks.push(b); }
    varint(v) {
        const bytes = [];
        do {
            let byte = v & 0x7f;
            v = Math.floor(v / 128);
            if (v > 0)
                byte |= 0x80;
            bytes.push(byte);
        } while (v > 0);
        this.chunks.push(Buffer.from(bytes));
    }
    signed(v) { this.varint(v >= 0 ? 2 * v : -2 * v - 1); }
    points(list) {
        this.u32(list.length);
        let lon = 0, lat = 0;
        for (const [x, y] of list) {
            const qx = Math.round(x * UNIT), qy = Math.round(y * UNIT);
            this.signed(qx - lon);
            this.signed(qy - lat);
            lon = qx;
            lat = qy;
        }
    }
    buffer() { return Buffer.concat(this.chunks); }
}

function crc32(buffer) {
    let table = [];
    for (let n = 0; n < 256; ++n) {
        let c = n;
        for (let k = 0; k < 8; ++k)
            c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        table.push(c >>> 0);
    }
    let crc = 0xffffffff;
    for (const byte of buffer)
        crc = table[(crc ^ byte) & 0xff] ^ (crc >>> 8);
    return (crc ^ 0xffffffff) >>> 0;
}

function main() {
    const options = parseArgs(process.argv.slice(2));
    const {land, lakes, coast} = landLayers();
    const borders = borderLines();

    const payload = new Writer();
    const layers = [[1, 1, land], [2, 1, lakes], [3, 2, coast], [4, 2, borders]];
    payload.u32(layers.length);
    for (const [kind, geometry, parts] of layers) {
        payload.u8(kind);
        payload.u8(geometry);
        payload.u16(0);
        payload.u32(parts.length);
        for (const part of parts) {
            if (geometry === 1) {
                payload.u32(part.length);
                part.forEach(ring => payload.points(ring));
            } else {
                payload.points(part);
            }
        }
    }
    const body = payload.buffer();
    const header = Buffer.alloc(20);
    Buffer.from('KXMAP\r\n\x1a', 'latin1').copy(header, 0);
    header.writeUInt32LE(1, 8);
    header.writeUInt32LE(body.length, 12);
    header.writeUInt32LE(crc32(body), 16);
    const file = Buffer.concat([header, body]);
    fs.writeFileSync(options.out, file);

    const count = parts => parts.reduce((n, p) => n + (Array.isArray(p[0][0]) ? p.reduce((m, r) => m + r.length, 0) : p.length), 0);
    const digest = require('crypto').createHash('sha256').update(file).digest('hex');
    console.log(`${options.out}: ${file.length} bytes, sha256 ${digest}`);
    console.log(`land ${land.length} polygons ${count(land)} points; lakes ${lakes.length} (${count(lakes)}); ` +
                `coastlines ${coast.length} (${count(coast)}); borders ${borders.length} (${count(borders)})`);
}

main();
