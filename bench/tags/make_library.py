"""Writes the FLAC, Ogg Vorbis, Opus, M4A and WavPack files of the tag benchmark: one short tone encoded once
per format by its real encoder, then copied COUNT times and tagged with mutagen, each copy with its
own title, artist, album and year, every third with lyrics and every other with a 30-100 KB cover
picture, as music libraries hold them.

Usage: make_library.py FOLDER COUNT   (writes FOLDER/song<i>.flac, .ogg, .opus, .m4a, .wv)
"""

import base64
import math
import os
import shutil
import struct
import subprocess
import sys
import wave

from mutagen.flac import FLAC, Picture
from mutagen.mp4 import MP4, MP4Cover
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis
from mutagen.apev2 import APEValue, BINARY
from mutagen.wavpack import WavPack

ENCODERS = {
    "flac": ["flac", "-s", "-f", "-o", "{file}", "{tone}"],
    "ogg": ["oggenc", "-Q", "-b", "128", "-o", "{file}", "{tone}"],
    "opus": ["opusenc", "--quiet", "{tone}", "{file}"],
    "m4a": ["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", "{tone}", "-c:a", "aac", "-b:a", "128k",
            "-movflags", "+faststart", "{file}"],
    "wv": ["wavpack", "-q", "-y", "{tone}", "-o", "{file}"],
}


def write_tone(path, seconds=3, rate=44100):
    samples = bytearray()
    for i in range(seconds * rate):
        value = int(8000 * math.sin(2 * math.pi * 440 * i / rate))
        samples += struct.pack("<hh", value, value)
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(samples))


def texts(i):
    """Title, artist, album, year, and lyrics for some: what a player lists and shows."""
    lyrics = None
    if i % 3 == 0:
        lyrics = "\n".join(f"[00:{line * 4:02d}.00]第{line}行 line {line} of song {i}" for line in range(20))
    return f"第{i}首歌 Song {i}", f"歌手{i}", f"专辑{i // 10}", f"{1990 + i % 30}-05-01", lyrics


def cover(i):
    """A JPEG-like picture of 30 to 100 KB, every other file; None for the rest."""
    if i % 2:
        return None
    return b"\xff\xd8\xff\xe0" + os.urandom(30_000 + (i * 7919) % 70_000)


def flac_picture(data):
    picture = Picture()
    picture.type = 3  # front cover
    picture.mime = "image/jpeg"
    picture.width = picture.height = 500
    picture.depth = 24
    picture.data = data
    return picture


def tag_vorbis(tags, i):
    """FLAC, Ogg Vorbis and Opus: the texts as Vorbis comment fields."""
    title, artist, album, year, lyrics = texts(i)
    tags["TITLE"], tags["ARTIST"], tags["ALBUM"], tags["DATE"] = title, artist, album, year
    if lyrics:
        tags["LYRICS"] = lyrics


def tag_file(ext, path, i):
    picture = cover(i)
    if ext == "flac":
        f = FLAC(path)
        tag_vorbis(f, i)
        if picture:
            f.add_picture(flac_picture(picture))
    elif ext in ("ogg", "opus"):
        f = OggVorbis(path) if ext == "ogg" else OggOpus(path)
        tag_vorbis(f, i)
        if picture:  # Ogg has no picture block: the picture is a field, base64 text
            f["METADATA_BLOCK_PICTURE"] = base64.b64encode(flac_picture(picture).write()).decode("ascii")
    elif ext == "wv":
        f = WavPack(path)
        f.add_tags()
        title, artist, album, year, lyrics = texts(i)
        f["Title"], f["Artist"], f["Album"], f["Year"] = title, artist, album, year
        if lyrics:
            f["Lyrics"] = lyrics
        if picture:
            f["Cover Art (Front)"] = APEValue(b"cover.jpg\0" + picture, BINARY)
    else:
        f = MP4(path)
        title, artist, album, year, lyrics = texts(i)
        f["\xa9nam"], f["\xa9ART"], f["\xa9alb"], f["\xa9day"] = title, artist, album, year
        if lyrics:
            f["\xa9lyr"] = lyrics
        if picture:
            f["covr"] = [MP4Cover(picture, imageformat=MP4Cover.FORMAT_JPEG)]
    f.save()


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    tone = os.path.join(folder, "tone.wav")
    write_tone(tone)
    for ext, command in ENCODERS.items():
        template = os.path.join(folder, "template." + ext)
        subprocess.run([part.replace("{file}", template).replace("{tone}", tone) for part in command], check=True)
        for i in range(count):
            path = os.path.join(folder, f"song{i}.{ext}")
            shutil.copyfile(template, path)
            tag_file(ext, path, i)
        os.remove(template)
    os.remove(tone)


if __name__ == "__main__":
    main()
