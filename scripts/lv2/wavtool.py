"""Small 32-bit float WAV jobs for the LV2 checks with Ardour.

  wavtool.py pad IN OUT SECONDS               OUT is IN with SECONDS of silence in front
  wavtool.py inject SESSION_DIR NAME IN       IN becomes one region at 0 on the session's first
                                              audio track (a mono source per channel, as Ardour
                                              records them, without fades), and the session
                                              range spans it
  wavtool.py diff A B SHIFT [TOLERANCE]       A[i] against B[i + SHIFT] over every frame both
                                              have; exit status 1 past TOLERANCE (1e-6)
"""
import os
import struct
import sys
import xml.etree.ElementTree as ET

SUPERCLOCK = 282240000  # Ardour's time unit: ticks per second


def read(path):
    data = open(path, 'rb').read()
    pos, fmt, channels, rate, bits = 12, 0, 0, 0, 0
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b'fmt ':
            fmt, channels, rate = struct.unpack('<HHI', body[:8])
            bits = struct.unpack('<H', body[14:16])[0]
            if fmt == 0xFFFE:
                fmt = struct.unpack('<H', body[24:26])[0]
        elif cid == b'data':
            if fmt != 3 or bits != 32:
                sys.exit('wavtool: %s is not a 32-bit float WAV file' % path)
            samples = struct.unpack('<%df' % (size // 4), body[:size - size % 4])
            return [list(samples[ch::channels]) for ch in range(channels)], rate
        pos += 8 + size + (size & 1)
    sys.exit('wavtool: %s holds no audio' % path)


def write(path, channels, rate):
    n = len(channels)
    frames = len(channels[0])
    interleaved = [channels[ch][i] for i in range(frames) for ch in range(n)]
    data = struct.pack('<%df' % len(interleaved), *interleaved)
    fmt = struct.pack('<HHIIHH', 3, n, rate, rate * 4 * n, 4 * n, 32)
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', 4 + 8 + len(fmt) + 8 + len(data)) + b'WAVE')
        f.write(b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(data)) + data)


def pad(src, dst, seconds):
    channels, rate = read(src)
    silence = [0.0] * int(round(float(seconds) * rate))
    write(dst, [silence + ch for ch in channels], rate)


def inject(session_dir, name, src):
    channels, rate = read(src)
    if rate != 48000:
        sys.exit('wavtool: the session runs at 48 kHz, %s at %d Hz' % (src, rate))
    ticks = len(channels[0]) * (SUPERCLOCK // rate)
    path = os.path.join(session_dir, name + '.ardour')
    tree = ET.parse(path)
    root = tree.getroot()
    ids = []
    for ch, samples in enumerate(channels):
        base = 'input-%d.wav' % ch
        # Ardour keeps a session's recordings under the name of its folder.
        folder = os.path.basename(os.path.normpath(session_dir))
        write(os.path.join(session_dir, 'interchange', folder, 'audiofiles', base), [samples], rate)
        ids.append(str(100001 + ch))
        ET.SubElement(root.find('Sources'), 'Source', {
            'name': base, 'type': 'audio', 'flags': '', 'id': ids[-1], 'natural-position': 'a0',
            'captured-for': '', 'channel': '0', 'origin': '', 'gain': '1'})

    def region(rid, whole):
        a = {'name': 'input', 'muted': '0', 'opaque': '1', 'locked': '0', 'video-locked': '0',
             'automatic': '1' if whole else '0', 'whole-file': '1' if whole else '0', 'import': '0',
             'external': '0', 'sync-marked': '0', 'left-of-split': '0', 'right-of-split': '0', 'hidden': '0',
             'position-locked': '0', 'valid-transients': '0', 'start': 'a0', 'length': 'a%d@a0' % ticks,
             'sync-position': 'a0', 'ancestral-start': 'a0', 'ancestral-length': 'a0@a0', 'stretch': '1',
             'shift': '1', 'layering-index': '0', 'tags': '', 'contents': '0', 'envelope-active': '0',
             'default-fade-in': '0', 'default-fade-out': '0', 'fade-in-active': '0', 'fade-out-active': '0',
             'scale-amplitude': '1', 'id': str(rid), 'type': 'audio', 'first-edit': 'nothing',
             'channels': str(len(ids))}
        for ch, sid in enumerate(ids):
            a['source-%d' % ch] = sid
            a['master-source-%d' % ch] = sid
        return a

    ET.SubElement(root.find('Regions'), 'Region', region(100010, True))
    ET.SubElement(root.find('Playlists').find('Playlist'), 'Region', region(100011, False))
    ET.SubElement(root.find('Locations'), 'Location', {
        'id': '100020', 'name': 'session', 'start': 'a0', 'end': 'a%d' % ticks, 'flags': 'IsSessionRange',
        'locked': '0', 'timestamp': '0', 'cue': '0'})
    # New objects Ardour makes on loading must not take the identifiers above.
    root.set('id-counter', '100100')
    tree.write(path, encoding='UTF-8', xml_declaration=True)


def diff(a_path, b_path, shift, tolerance=1e-6):
    (a, _), (b, _) = read(a_path), read(b_path)
    shift, tolerance = int(shift), float(tolerance)
    if len(a) != len(b):
        sys.exit('wavtool: %d channels against %d' % (len(a), len(b)))
    worst, where, frames = 0.0, (0, 0), min(len(a[0]), len(b[0]) - shift)
    for ch in range(len(a)):
        for i in range(frames):
            d = abs(a[ch][i] - b[ch][i + shift])
            if d > worst:
                worst, where = d, (ch, i)
    print('largest difference %.3g (channel %d, frame %d) over %d frames, the second file %d frames ahead'
          % (worst, where[0], where[1], frames, shift))
    return 0 if worst <= tolerance else 1


if __name__ == '__main__':
    jobs = {'pad': pad, 'inject': inject, 'diff': diff}
    if len(sys.argv) < 2 or sys.argv[1] not in jobs:
        sys.exit(__doc__)
    sys.exit(jobs[sys.argv[1]](*sys.argv[2:]) or 0)
