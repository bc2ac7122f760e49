#!/usr/bin/env python3
"""Makes the sound files the audio tests read, under
tests/Platform/Audio/fixtures/: WAV files of every sample type and a few
damaged or odd ones (standard library), and Ogg Vorbis sines (libvorbisenc
through ctypes). The sines are the tests' MakeSine: the same doubles rounded
to float, so the tests compare against their own copy. The results are
committed; run again after changing the tables below."""
import ctypes
import ctypes.util
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'Platform', 'Audio', 'fixtures')


def f32(v):
    return struct.unpack('<f', struct.pack('<f', v))[0]


def sine(frequency, rate, frames, amplitude, channels=1, scale=1.0):
    out = []
    for i in range(frames):
        v = f32(amplitude * math.sin(2.0 * math.pi * frequency * i / rate))
        out += [v] + [f32(v * scale)] * (channels - 1)
    return out


def wav(samples, channels, rate, kind, extra=b''):
    bits = {'u8': 8, 's24': 24, 's32': 32, 'f32': 32}.get(kind, 16)
    tag = 3 if kind == 'f32' else 0xFFFE if kind == 's16x' else 1
    if kind == 'f32':
        data = struct.pack('<%df' % len(samples), *samples)
    else:
        full = 2.0 ** (bits - 1)
        data = b''
        for v in samples:
            s = max(-full, min(full - 1, math.floor(max(-1.0, min(1.0, v)) * full + 0.5)))
            data += ((int(s) + (128 if bits == 8 else 0)) & ((1 << bits) - 1)).to_bytes(bits // 8, 'little')
    align = channels * bits // 8
    fmt = struct.pack('<HHIIHH', tag, channels, rate, rate * align, align, bits)
    if kind == 's16x':
        fmt += struct.pack('<HHIIIII', 22, bits, 4 if channels == 1 else 3, 1, 0x00100000, 0xAA000080, 0x719B3800)
    body = b'WAVE' + extra + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(data))
    body += data + (b'\0' if len(data) & 1 else b'')
    return b'RIFF' + struct.pack('<I', len(body)) + body


class Packet(ctypes.Structure):
    _fields_ = [('packet', ctypes.c_void_p), ('bytes', ctypes.c_long), ('b_o_s', ctypes.c_long),
                ('e_o_s', ctypes.c_long), ('granulepos', ctypes.c_int64), ('packetno', ctypes.c_int64)]


class Page(ctypes.Structure):
    _fields_ = [('header', ctypes.POINTER(ctypes.c_ubyte)), ('header_len', ctypes.c_long),
                ('body', ctypes.POINTER(ctypes.c_ubyte)), ('body_len', ctypes.c_long)]


def ogg(samples, channels, rate):
    enc = ctypes.CDLL(ctypes.util.find_library('vorbisenc'))
    vorbis = ctypes.CDLL(ctypes.util.find_library('vorbis'))
    libogg = ctypes.CDLL(ctypes.util.find_library('ogg'))
    info, comment, dsp, block, stream = (ctypes.create_string_buffer(8192) for _ in range(5))
    vorbis.vorbis_info_init(info)
    enc.vorbis_encode_init_vbr.argtypes = [ctypes.c_void_p, ctypes.c_long, ctypes.c_long, ctypes.c_float]
    assert enc.vorbis_encode_init_vbr(info, channels, rate, 0.5) == 0
    vorbis.vorbis_comment_init(comment)
    vorbis.vorbis_analysis_init(dsp, info)
    vorbis.vorbis_block_init(dsp, block)
    libogg.ogg_stream_init(stream, 0x42570001)
    out = bytearray()

    def pages():
        page = Page()
        while libogg.ogg_stream_flush(stream, ctypes.byref(page)):
            out.extend(bytes(page.header[:page.header_len]) + bytes(page.body[:page.body_len]))

    headers = [Packet() for _ in range(3)]
    vorbis.vorbis_analysis_headerout(dsp, comment, *[ctypes.byref(h) for h in headers])
    for header in headers:
        libogg.ogg_stream_packetin(stream, ctypes.byref(header))
    pages()  # the headers on pages of their own
    frames = len(samples) // channels
    vorbis.vorbis_analysis_buffer.restype = ctypes.POINTER(ctypes.POINTER(ctypes.c_float))
    buffer = vorbis.vorbis_analysis_buffer(dsp, frames)
    for i, v in enumerate(samples):
        buffer[i % channels][i // channels] = v
    vorbis.vorbis_analysis_wrote(dsp, frames)
    vorbis.vorbis_analysis_wrote(dsp, 0)
    packet = Packet()
    while vorbis.vorbis_analysis_blockout(dsp, block) == 1:
        vorbis.vorbis_analysis(block, None)
        vorbis.vorbis_bitrate_addblock(block)
        while vorbis.vorbis_bitrate_flushpacket(dsp, ctypes.byref(packet)):
            libogg.ogg_stream_packetin(stream, ctypes.byref(packet))
    pages()
    return bytes(out)


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {}
    # Every sample type: a 1000 Hz sine, the second channel at -0.5 times the first.
    for kind, channels in [('u8', 1), ('u8', 2), ('s16', 1), ('s16', 2), ('s24', 2), ('s32', 2), ('f32', 2),
                           ('s16x', 1)]:
        files['%s-%d.wav' % (kind, channels)] = wav(sine(1000.0, 44100, 3000, 0.5, channels, -0.5), channels,
                                                    44100, kind)
    # One period of 441 Hz at 44100 Hz.
    files['blip.wav'] = wav(sine(441.0, 44100, 100, 0.5), 1, 44100, 's16')
    files['half.wav'] = wav([0.5] * 20000, 1, 44100, 's16')
    # 61 seconds at the lowest rate a file may have.
    files['long.wav'] = wav([0.1] * 61000, 1, 1000, 'u8')
    # An odd-sized chunk before the format; not a number and overload.
    files['odd-chunk.wav'] = wav([float('nan'), 4.0, -4.0, 0.25], 1, 44100, 'f32', b'LIST\3\0\0\0abc\0')
    files['sine440.ogg'] = ogg(sine(440.0, 44100, 44100, 0.5), 1, 44100)
    files['sine300-22050.ogg'] = ogg(sine(300.0, 22050, 11025, 0.5), 1, 22050)
    files['sine1000-stereo.ogg'] = ogg(sine(1000.0, 44100, 22050, 0.5, 2, 0.25), 2, 44100)
    for name, data in files.items():
        with open(os.path.join(OUT, name), 'wb') as out:
            out.write(data)


if __name__ == '__main__':
    main()
