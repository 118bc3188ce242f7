"""How often each reader gives the title and artist the writer meant: our readers (media-info),
TagLib (taglib-texts) and mutagen, on one corpus. The corpus holds files written by the taggers
and encoders people use (eyeD3, mutagen, kid3-cli, ffmpeg, metaflac, vorbiscomment, opusenc) and
files built byte by byte the way the writers of the home systems and some buggy taggers wrote
them: GBK text in ID3 frames marked as the code page and in ID3v1 blocks, Latin-1 and UTF-8
ID3v1 blocks, plain ID3v2.4 frame sizes, compressed frames, frame IDs old converters left.

Usage: accuracy.py BIN   (BIN holds media-info and taglib-texts)
Prints one line a file where any reader is wrong, then each reader's score.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import zlib

import mutagen

TITLE, ARTIST = "title", "artist"


# ---------------------------------------------------------------- bytes of MP3 files

def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def frame(version, frame_id, body, format_flags=0, plain_size=False):
    if version == 2:
        return frame_id.encode() + len(body).to_bytes(3, "big") + body
    size = syncsafe(len(body)) if version == 4 and not plain_size else len(body).to_bytes(4, "big")
    return frame_id.encode() + size + bytes([0, format_flags]) + body


def tag(version, frames, padding=256, flags=0):
    body = frames + bytes(padding)
    return b"ID3" + bytes([version, 0, flags]) + syncsafe(len(body)) + body


def text(encoding, value, codec=None):
    codecs = {0: "latin-1", 1: "utf-16", 2: "utf-16-be", 3: "utf-8"}
    return bytes([encoding]) + value.encode(codec or codecs[encoding])


def audio(frames=20):
    # MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417-byte frames.
    return (b"\xFF\xFB\x90\x00" + bytes(413)) * frames


def id3v1(title, artist):
    field = lambda value: value[:30].ljust(30, b"\0")
    return b"TAG" + field(title) + field(artist) + field(b"") + b"2008" + field(b"") + b"\xFF"


def title_artist_frames(version, title, artist, encoding=3, codec=None):
    ids = ("TT2", "TP1") if version == 2 else ("TIT2", "TPE1")
    return frame(version, ids[0], text(encoding, title, codec)) + frame(version, ids[1], text(encoding, artist, codec))


def unsynchronise(data):
    out = bytearray()
    for i, byte in enumerate(data):
        out.append(byte)
        if byte == 0xFF and (i + 1 == len(data) or data[i + 1] >= 0xE0 or data[i + 1] == 0):
            out.append(0)
    return bytes(out)


def built_files():
    """(name, bytes, title, artist) of the files built byte by byte."""
    files = []
    add = lambda name, data, title, artist: files.append((name, data, title, artist))

    add("v23-utf16.mp3", tag(3, title_artist_frames(3, "Morning Light", "The Testers", 1)) + audio(),
        "Morning Light", "The Testers")
    add("v24-utf8.mp3", tag(4, title_artist_frames(4, "晴天", "周杰伦")) + audio(), "晴天", "周杰伦")
    add("v22.mp3", tag(2, title_artist_frames(2, "Old Tag", "Old Band", 0)) + audio(), "Old Tag", "Old Band")

    # Frames marked as the code page, written by the taggers of the home systems in GBK.
    add("v23-gbk.mp3", tag(3, title_artist_frames(3, "七里香", "周杰伦", 0, "gbk")) + audio(), "七里香", "周杰伦")
    add("v23-gbk-long.mp3", tag(3, title_artist_frames(3, "后来的我们依然相爱", "五月天", 0, "gbk")) + audio(),
        "后来的我们依然相爱", "五月天")
    # ...and in Latin-1 by Western ones.
    add("v23-latin1.mp3", tag(3, title_artist_frames(3, "Café del Mar", "José González", 0, "cp1252")) + audio(),
        "Café del Mar", "José González")

    # ID3v1 blocks in the home code page, in Latin-1 and in UTF-8 (as ffmpeg writes them).
    add("v1-gbk.mp3", audio() + id3v1("晴天".encode("gbk"), "周杰伦".encode("gbk")), "晴天", "周杰伦")
    add("v1-latin1.mp3", audio() + id3v1("Señora".encode("cp1252"), "Adiós Band".encode("cp1252")), "Señora", "Adiós Band")
    add("v1-utf8.mp3", audio() + id3v1("Café".encode(), "Beyoncé".encode()), "Café", "Beyoncé")
    # A GBK title longer than the 30-byte field: the character cut in half is not shown.
    long_title = "我们的爱情故事在这里开始了又结束"
    add("v1-gbk-cut.mp3", audio() + id3v1(long_title.encode("gbk"), "五月天".encode("gbk")),
        long_title[:15], "五月天")

    # ID3v2.4 sizes written plain, not syncsafe: a 383-byte comment (01 7F) reads as 255 bytes.
    comment = frame(4, "COMM", b"\x03eng\x00" + b"c" * 378, plain_size=True)
    add("v24-plain-sizes.mp3", tag(4, comment + frame(4, "TIT2", text(3, "Plain Sizes"), plain_size=True)
                                   + frame(4, "TPE1", text(3, "Buggy Tagger"), plain_size=True)) + audio(),
        "Plain Sizes", "Buggy Tagger")
    # Compressed frames: ID3v2.3 with the inflated size first, ID3v2.4 with a data length indicator.
    title23 = text(1, "Packed Title")
    packed23 = len(title23).to_bytes(4, "big") + zlib.compress(title23)
    add("v23-zlib.mp3", tag(3, frame(3, "TIT2", packed23, 0x80) + frame(3, "TPE1", text(1, "Packed Band"))) + audio(),
        "Packed Title", "Packed Band")
    title24 = text(3, "压缩的歌")
    packed24 = syncsafe(len(title24)) + zlib.compress(title24)
    add("v24-zlib.mp3", tag(4, frame(4, "TIT2", packed24, 0x09) + frame(4, "TPE1", text(3, "压缩乐队"))) + audio(),
        "压缩的歌", "压缩乐队")
    # Frame IDs with a space or lower-case letters, left by old converters, before the texts.
    odd = frame(3, "COM ", b"\0eng\0old converter") + frame(3, "Xxx1", b"\0junk")
    add("v23-odd-ids.mp3", tag(3, odd + title_artist_frames(3, "After Odd Frames", "Converter", 1)) + audio(),
        "After Odd Frames", "Converter")
    # A UTF-8 byte-order mark before each UTF-8 value.
    bom = frame(4, "TIT2", b"\x03\xEF\xBB\xBF" + "带标记".encode()) + frame(4, "TPE1", b"\x03\xEF\xBB\xBF" + "歌手".encode())
    add("v24-utf8-bom.mp3", tag(4, bom) + audio(), "带标记", "歌手")
    # A whole ID3v2.3 tag unsynchronised: the FF bytes of UTF-16 text are followed by a NUL.
    frames = title_artist_frames(3, "ÿÿ Double Y", "ÿ Band", 1)
    add("v23-unsync.mp3", tag(3, unsynchronise(frames + bytes(64)), padding=0, flags=0x80) + audio(),
        "ÿÿ Double Y", "ÿ Band")
    return files


# ---------------------------------------------------------------- files written by tools

def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def tool_files(folder):
    """(name, title, artist) of the files the taggers and encoders write into folder."""
    files = []
    tone = os.path.join(folder, "tone.wav")
    run("ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=1",
        "-ac", "2", "-ar", "44100", tone)
    mp3 = os.path.join(folder, "plain.mp3")
    run("ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", tone, "-b:a", "128k", mp3)

    def copy(name):
        path = os.path.join(folder, name)
        shutil.copy(mp3, path)
        return path

    title, artist = "夜曲 Nocturne", "周杰伦 Jay"
    run("eyeD3", "--quiet", "--to-v2.3", "-t", title, "-a", artist, copy("eyed3-v23.mp3"))
    files.append(("eyed3-v23.mp3", title, artist))
    run("eyeD3", "--quiet", "--to-v2.4", "-t", title, "-a", artist, copy("eyed3-v24.mp3"))
    files.append(("eyed3-v24.mp3", title, artist))
    run("kid3-cli", "-c", "set title '%s'" % title, "-c", "set artist '%s'" % artist, copy("kid3.mp3"))
    files.append(("kid3.mp3", title, artist))
    from mutagen.id3 import ID3, TIT2, TPE1
    for version in (3, 4):
        name = "mutagen-v2%d.mp3" % version
        tags = ID3()
        tags.add(TIT2(encoding=1 if version == 3 else 3, text=title))
        tags.add(TPE1(encoding=1 if version == 3 else 3, text=artist))
        tags.save(copy(name), v2_version=version)
        files.append((name, title, artist))
    run("ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", tone, "-b:a", "128k", "-metadata", "title=" + title,
        "-metadata", "artist=" + artist, "-write_id3v1", "1", os.path.join(folder, "ffmpeg.mp3"))
    files.append(("ffmpeg.mp3", title, artist))

    flac = os.path.join(folder, "metaflac.flac")
    run("flac", "-s", "-f", "-o", flac, tone)
    run("metaflac", "--set-tag=TITLE=" + title, "--set-tag=ARTIST=" + artist, flac)
    files.append(("metaflac.flac", title, artist))
    ogg = os.path.join(folder, "vorbiscomment.ogg")
    run("oggenc", "-Q", "-o", ogg, tone)
    run("vorbiscomment", "-w", "-t", "TITLE=" + title, "-t", "ARTIST=" + artist, ogg)
    files.append(("vorbiscomment.ogg", title, artist))
    run("opusenc", "--quiet", "--title", title, "--artist", artist, tone, os.path.join(folder, "opusenc.opus"))
    files.append(("opusenc.opus", title, artist))
    m4a = os.path.join(folder, "ffmpeg.m4a")
    run("ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", tone, "-c:a", "aac", "-metadata", "title=" + title,
        "-metadata", "artist=" + artist, m4a)
    files.append(("ffmpeg.m4a", title, artist))
    from mutagen.mp4 import MP4
    shutil.copy(m4a, os.path.join(folder, "mutagen.m4a"))
    tags = MP4(os.path.join(folder, "mutagen.m4a"))
    tags["\xa9nam"], tags["\xa9ART"] = ["Mutagen 标题"], ["Mutagen 艺人"]
    tags.save()
    files.append(("mutagen.m4a", "Mutagen 标题", "Mutagen 艺人"))
    return files


# ---------------------------------------------------------------- the readers

def read_ours(binary, paths):
    output = subprocess.run([os.path.join(binary, "media-info")] + paths, check=True, capture_output=True).stdout
    texts, current = {}, None
    for line in output.decode("utf-8", "replace").splitlines():
        key, _, value = line.partition(": ")
        if key == "File":
            current = texts.setdefault(value, {})
        elif key in ("Title", "Artist") and current is not None:
            current[key.lower()] = value
    return {path: (texts.get(path, {}).get(TITLE, ""), texts.get(path, {}).get(ARTIST, "")) for path in paths}


def read_taglib(binary, paths):
    output = subprocess.run([os.path.join(binary, "taglib-texts")] + paths, check=True, capture_output=True).stdout
    texts = {}
    for line in output.decode("utf-8", "replace").splitlines():
        path, title, artist = (line.split("\t") + ["", ""])[:3]
        texts[path] = (title, artist)
    return texts


def read_mutagen(paths):
    texts = {}
    for path in paths:
        try:
            tags = mutagen.File(path, easy=True)
            first = lambda key: (tags.get(key) or [""])[0] if tags is not None else ""
            texts[path] = (first(TITLE), first(ARTIST))
        except Exception:
            texts[path] = ("", "")
    return texts


def main():
    binary = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        expected = {}
        for name, data, title, artist in built_files():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)
            expected[os.path.join(folder, name)] = (title, artist)
        for name, title, artist in tool_files(folder):
            expected[os.path.join(folder, name)] = (title, artist)

        paths = sorted(expected)
        readers = {"ours": read_ours(binary, paths), "TagLib": read_taglib(binary, paths), "mutagen": read_mutagen(paths)}
        scores = dict.fromkeys(readers, 0)
        for path in paths:
            wrong = []
            for reader, texts in readers.items():
                if texts.get(path) == expected[path]:
                    scores[reader] += 1
                else:
                    wrong.append("%s %r" % (reader, texts.get(path)))
            if wrong:
                print("%-22s expected %r; %s" % (os.path.basename(path), expected[path], "; ".join(wrong)))
        print("\nTitle and artist as written, of %d files: %s" %
              (len(paths), ", ".join("%s %d" % (reader, score) for reader, score in scores.items())))
        return 0 if scores["ours"] >= max(scores.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
