#!/usr/bin/env python3
"""Writes the seed corpus of each fuzz target into fuzz/corpus/<target>/.

The seeds are small, hand-made inputs in each target's input layout (see the comment at the top
of each fuzz/*_fuzzer.cpp and docs/fuzzing.md). Run it after changing a layout:
    python3 fuzz/corpus/make_seeds.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def u16(value):
    return struct.pack("<H", value)


def u32(value):
    return struct.pack("<I", value)


def u64(value):
    return struct.pack("<Q", value)


def write(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as file:
        file.write(data)


# link_reply: per round a request count, each request a shape byte (bit 0 write, bit 1 no
# buffer, bits 2-3 the size's range: byte % 16, byte, u16, u32), its size, its offset (u16) and a
# write's bytes; then per send attempt a mode byte (bit 0 serve the reads, bits 1-2 patches,
# bits 3-4 outcome: 0/1 reply 1, 2 reply u64, 3 not sent; bit 5 send failed rather than timed
# out), the reads' data, and each patch: a target (request index, count = terminator, count + 1 =
# absolute u16), a delta byte, a length byte and the bytes.
def read(size, offset, buffer=True):
    return bytes([0x04 | (0 if buffer else 0x02), size]) + u16(offset)


def write_request(data, offset):
    return bytes([0x05, len(data)]) + u16(offset) + data


POSITION = [(0x0020, 4), (0x02A0, 2), (0x0560, 8), (0x0568, 8), (0x0580, 4), (0x02B4, 4)]


def sample_round(mode, patches=b"", extra=b""):
    requests = b"".join(read(size, offset) for offset, size in POSITION)
    data = b"".join(bytes((offset + i) & 0xFF for i in range(size)) for offset, size in POSITION)
    return bytes([len(POSITION)]) + requests + bytes([mode]) + data + patches + extra


write("link_reply", "sample_position_served", sample_round(0x01))
write("link_reply", "forged_size_field",
      sample_round(0x03, bytes([1, 8, 1, 0x40])))            # request 1's size byte
write("link_reply", "forged_id_field",
      sample_round(0x03, bytes([0, 0, 1, 0x02])))            # request 0 says "write"
write("link_reply", "terminator_overwritten",
      sample_round(0x03, bytes([len(POSITION), 0, 1, 0x01])))
write("link_reply", "reply_value_zero", sample_round(0x11, extra=u64(0)))
write("link_reply", "reply_value_high_bits", sample_round(0x11, extra=u64(0x100000001)))
write("link_reply", "timed_out_ten_times",
      bytes([1]) + read(4, 0x0560) + bytes([0x18] * 10))
write("link_reply", "send_failed_then_served",
      bytes([1]) + read(4, 0x0560) + bytes([0x38] * 3) + bytes([0x01]) + b"\x11\x22\x33\x44")
write("link_reply", "client_version_write_and_reads",
      bytes([3]) + read(4, 0x3304) + read(4, 0x3308) + write_request(b"\xec\x03", 0x330A)
      + bytes([0x01]) + u32(0x36220002) + u32(0xFADE0008))
write("link_reply", "block_full_then_small_read",
      bytes([2, 0x08]) + u16(0x7F00) + u16(0x0560) + read(8, 0x0568) + bytes([0x01]) + bytes(8))
write("link_reply", "reads_without_buffers_and_empty",
      bytes([3]) + read(8, 0x0560, buffer=False) + bytes([0x00, 0x00]) + u16(0x0100)
      + read(4, 0x0580) + bytes([0x01]) + bytes(12))
write("link_reply", "two_rounds",
      sample_round(0x01) + bytes([1]) + read(4, 0x02B4) + bytes([0x01]) + u32(75 * 65536))

# reply_check: a change byte (0 none, 1 free bytes, 2 an id or size, 3 the terminator, 4 a short
# block, 5 the queued end, 6 a record moved, 7 anything). For 0 to 6: a record count, each record
# a kind byte (bit 0 write, bit 1 u16 size % 512 rather than a byte) and its size, the slack
# after the terminator (byte); then for 1 a patch count (1 + byte % 8) and each patch's place
# (u16) and byte, for 2 and 6 a selector byte (the record; for 2 bit 7 the size rather than the
# id) and a u32, for the others a u32; the rest of the input is the noise that fills the block.
# For 7: a shape byte (bit 0 tiny block, bit 1 queued end given), the block size (byte, or u16 up
# to 0x8000), a record count, each record a kind byte (bit 0 write, bit 1 u32 size, bit 2
# position given) with its size and position, the queued end (u32), then the point where the
# rest of the input is laid over the block (u16) and the rest.
TWO_RECORDS = bytes([2, 0, 4, 1, 2])  # a read of 4 bytes at 0, a write of 2 at 20, end at 34
write("reply_check", "laid_out_intact", bytes([0]) + TWO_RECORDS + bytes([8]) + u32(0) + b"\xaa\x55")
write("reply_check", "laid_out_exact_size", bytes([0]) + TWO_RECORDS + bytes([0]) + u32(0))
write("reply_check", "empty_queue_intact", bytes([0, 0, 0]) + u32(0))
write("reply_check", "data_offset_and_destination_changed",
      bytes([1]) + TWO_RECORDS + bytes([8, 3]) + u16(16) + b"\x5a" + u16(4) + b"\x33"
      + u16(12) + b"\x77" + b"\x01")
write("reply_check", "first_size_changed",
      bytes([2]) + TWO_RECORDS + bytes([8, 0x80]) + u32(1) + b"\x10")
write("reply_check", "second_id_changed",
      bytes([2]) + TWO_RECORDS + bytes([8, 0x01]) + u32(3) + b"\x10")
write("reply_check", "terminator_set", bytes([3, 1, 0, 4, 0]) + u32(1))
write("reply_check", "block_cut_short", bytes([4]) + TWO_RECORDS + bytes([0]) + u32(30))
write("reply_check", "queued_end_past_the_records", bytes([5, 1, 0, 4, 0]) + u32(4))
write("reply_check", "second_record_moved_back",
      bytes([6]) + TWO_RECORDS + bytes([8, 1]) + u32(0xFFFFFFFC))
write("reply_check", "anything_two_records_intact",
      bytes([7, 0]) + u16(0x8000) + bytes([2, 0, 4, 1, 2]) + u16(0x100))
write("reply_check", "anything_size_field_forged",
      bytes([7, 0]) + u16(0x8000) + bytes([2, 0, 4, 1, 2]) + u16(8) + u32(5))
write("reply_check", "anything_record_past_tiny_block", bytes([7, 1, 24, 1, 0, 200]) + u16(0))
write("reply_check", "anything_position_not_tiling",
      bytes([7, 0]) + u16(0x100) + bytes([2, 0, 4, 0x04, 4]) + u32(24) + u16(0xF0))
write("reply_check", "anything_huge_size_and_end",
      bytes([7, 2]) + u16(0x8000) + bytes([1, 0x02]) + u32(0xFFFFFFF0) + u32(0xFFFFFFFF) + u16(0))
write("reply_check", "anything_empty_block", bytes([7, 1, 0, 0]))


# posix_wire: the received bytes themselves (then read again as fields for the round trip).
def request(kind, sequence, lparam, message, mapping):
    return (u32(0x31515651) + u32(kind) + u32(sequence) + u32(lparam) + u16(len(message))
            + u16(len(mapping)) + message + mapping)


write("posix_wire", "exchange_request",
      request(1, 7, 0, b"FsasmLib:IPC", b"FsasmLib:IPC:1B24:1"))
write("posix_wire", "ping_request", request(2, 1, 0, b"FsasmLib:IPC", b""))
write("posix_wire", "reply_one", u32(0x31525651) + u32(7) + u32(1))
write("posix_wire", "request_length_mismatch",
      request(1, 7, 0, b"FsasmLib:IPC", b"FsasmLib:IPC:1B24:1")[:-1])
write("posix_wire", "mapping_name_with_slash", request(1, 2, 0, b"FsasmLib:IPC", b"../../etc"))
write("posix_wire", "unknown_kind", request(3, 1, 0, b"", b""))

# settings_reader: the file's text, a zero byte, then operations: a byte chooses read (0),
# write (1), read and convert (2) or convert a value (3); a name byte below 0x80 picks a
# candidate name (the store's, then the text's), else 0x80 + length and that many bytes; a value
# is a length byte and the bytes; a conversion adds 8 bytes of a double.
STORE_FILE = (b"[TForm1]\r\nFormVersion=0\r\nFlags=0\r\nShowCmd=1\r\nPixelsPerInch=96\r\n"
              b"MinMaxPos(1920x1080)=-1,-1,-8,-31\r\nMinMaxPos=-1,-1,-8,-31\r\n"
              b"NormPos(1920x1080)=100,100,612,482\r\nNormPos=100,100,612,482\r\nVisible=0\r\n"
              b"RxSpinEdit1_Value=10\r\nCheckBox1_Checked=True\r\n")


def name(text):
    return bytes([0x80 | len(text)]) + text


def value(text):
    return bytes([len(text)]) + text


PROBES = name(b"TForm1") + name(b"NormPos") + name(b"TForm1") + name(b"Flags") + name(
    b"Other") + name(b"Key") + name(b"tform1") + name(b"VISIBLE")
write("settings_reader", "store_file_read_and_written",
      STORE_FILE + b"\0" + b"\x00" + name(b"TForm1") + name(b"normpos")
      + b"\x01" + name(b"TForm1") + name(b"RxSpinEdit1_Value") + value(b"60.5") + PROBES
      + b"\x02" + name(b"TForm1") + name(b"FormVersion") + value(b"7")
      + b"\x02" + name(b"tform1") + name(b"CHECKBOX1_CHECKED") + value(b""))
write("settings_reader", "quoted_values",
      b"[TForm1]\nTitle=\"quoted\"\nOther='single'\nHalf=\"open\n" + b"\0"
      + b"\x01" + name(b"TForm1") + name(b"Title") + value(b"\"kept quotes\"") + PROBES
      + b"\x01" + name(b"New Section") + name(b"Key") + value(b"'x'") + PROBES
      + b"\x00" + name(b"TForm1") + name(b"Half"))
write("settings_reader", "comments_blanks_and_duplicates",
      b"; settings\n\n  [ TForm1 ]  \n ; Flags=9\n  Flags = 3 \n\n[Other]\nFlags=4\n[tform1]\n"
      b"Flags=5\nNoEquals\n=empty key\n" + b"\0"
      + b"\x00" + name(b"TForm1") + name(b"Flags")
      + b"\x01" + name(b"TFORM1") + name(b"ShowCmd") + value(b"3") + PROBES)
write("settings_reader", "number_texts",
      b"[TForm1]\nA=0x10\nB=-5\nC=+7\n" + b"\0"
      + b"\x02" + name(b"TForm1") + name(b"A") + value(b"")
      + b"\x02" + name(b"TForm1") + name(b"B") + value(b"")
      + b"\x03" + value(b" 60.5 ") + struct.pack("<d", 0.5)
      + b"\x03" + value(b"1E-6") + struct.pack("<d", 1e-6)
      + b"\x03" + value(b"0X1f") + struct.pack("<d", -2.5e18)
      + b"\x03" + value(b"True") + struct.pack("<d", 60.0)
      + b"\x03" + value(b"60,5") + struct.pack("<d", 123456.789))
# Regression input: "+-5" was read as -5 (found by this target).
write("settings_reader", "regression_plus_minus_sign",
      b"[TForm1]\nFlags=+-5\n" + b"\0" + b"\x02" + name(b"TForm1") + name(b"Flags") + value(b"")
      + b"\x03" + value(b"+-5") + struct.pack("<d", 5.0))
write("settings_reader", "binary_garbage",
      b"\xff\xfe[\x00TForm1]\r\r\n\x01=\x02\n[TForm1\nNormPos=\xff\xff\xff,1,2\r\n")

# user_dirs: the home folder, a line break, then the file's text.
USER_DIRS = (b'# This file is written by xdg-user-dirs-update\n'
             b'XDG_DESKTOP_DIR="$HOME/Desktop"\nXDG_DOWNLOAD_DIR="$HOME/Downloads"\n'
             b'XDG_DOCUMENTS_DIR="$HOME/Documents"\nXDG_MUSIC_DIR="$HOME/Music"\n')
write("user_dirs", "written_by_xdg_user_dirs", b"/home/pilot\n" + USER_DIRS)
write("user_dirs", "absolute_and_escaped",
      b"/home/pilot\n" + b'XDG_DOCUMENTS_DIR="/data/My \\"Docs\\" \\\\ here"\n')
write("user_dirs", "crlf_and_blanks", b"/home/pilot\n  XDG_DOCUMENTS_DIR = \"$HOME/Dokumenty\" \r\n")
write("user_dirs", "damaged_last_line",
      b"/home/pilot\nXDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_DOCUMENTS_DIR=\"/a\0b\"\n")
write("user_dirs", "home_lookalikes",
      b"/h\nXDG_DOCUMENTS_DIR=\"$HOMEWORK\"\nXDG_DOCUMENTS_DIR=$HOME\nXDG_DOCUMENTS_DIR=\"\\\"")

# sim_options: the arguments, separated by zero bytes.
def arguments(*texts):
    return b"\0".join(texts)


write("sim_options", "demo_at_rate", arguments(b"--demo", b"--rate", b"2.5"))
write("sim_options", "pokes",
      arguments(b"--poke", b"0x3304:4:0x36220002", b"--poke", b"0:1:-128", b"0xFFF8:8:-1"))
write("sim_options", "server_words",
      arguments(b"--class", b"FS98MAIN", b"--version", b"19980005", b"--sim-word", b"0xFADE0008"))
write("sim_options", "aircraft",
      arguments(b"--lat", b"50.1", b"--lon", b"14.26", b"--heading", b"90", b"--magvar", b"-3.5",
                b"--speed", b"75"))
write("sim_options", "fault_modes",
      arguments(b"--reply", b"0", b"--hang", b"--exit-after", b"3", b"--log", b"/tmp/x.log",
                b"--ready-file", b"/tmp/ready"))
write("sim_options", "help", arguments(b"--help"))
# Regression input: a rate of NaN was taken (found by this target's check of --rate).
write("sim_options", "regression_rate_nan", arguments(b"--demo", b"--rate", b"nan"))
write("sim_options", "bad_values", arguments(b"--lat", b"nan", b"--poke", b"0:9:1", b"stray"))


# flightgear_line: one datagram, as FlightGear's generic output sends it.
write("flightgear_line", "recorded_line", b"21.3189041,-157.9365388,3001.7,350.27,9.49,110.4\n")
write("flightgear_line", "with_version", b"21.3189041,-157.9365388,3001.7,350.27,9.49,110.4,2020.3.16\n")
write("flightgear_line", "crlf_no_version", b"50.0875,14.421,1200.0,95.00,0.00,0.0\r\n")
write("flightgear_line", "not_numbers", b"nan,inf,-infinity,1e999,+5, 6\n")
write("flightgear_line", "too_many_fields", b"1,2,3,4,5,6,7,8\n")
write("flightgear_line", "two_lines", b"1,2,3,4,5,6\n1,2,3,4,5,6\n")


def f32(value):
    return struct.pack("<f", value)


def f64(value):
    return struct.pack("<d", value)


def rpos(lat, lon, elevation, height, heading, fifth=b"4"):
    return (b"RPOS" + fifth + f64(lon) + f64(lat) + f64(elevation) + f32(height) + f32(3.5)
            + f32(heading) + f32(0.0) * 7)


def rref(pairs, fifth=b","):
    return b"RREF" + fifth + b"".join(u32(index & 0xFFFFFFFF) + f32(value) for index, value in pairs)


# xplane_rpos: one datagram.
write("xplane_rpos", "position", rpos(21.3189041, -157.9365388, 914.9, 12.5, 80.25))
write("xplane_rpos", "documented_header", rpos(50.0875, 14.421, 380.0, 0.0, 95.0, b"\0"))
write("xplane_rpos", "nan_latitude", rpos(float("nan"), 14.421, 380.0, 0.0, 95.0))
write("xplane_rpos", "truncated", rpos(1, 2, 3, 4, 5)[:40])
write("xplane_rpos", "oversized", rpos(1, 2, 3, 4, 5) + b"\0")


# xplane_rref: datagrams, each a length byte (0x80 set: a u16 length follows) and its bytes,
# then a byte of 16 ms steps since the last.
def datagram(data, step=6):
    head = bytes([len(data)]) if len(data) < 0x80 else bytes([0x80]) + u16(len(data))
    return head + data + bytes([step])


ANSWER = (datagram(rpos(50.0875, 14.421, 400.0, 20.0, 90.0))
          + datagram(rref([(4, 121004.0), (1, 90.0), (2, 80.0), (3, 100.0)])))
write("xplane_rref", "answers", ANSWER)
write("xplane_rref", "answers_then_silence", ANSWER + datagram(b"", 255) + datagram(b"", 255))
write("xplane_rref", "unknown_and_bad_values",
      ANSWER + datagram(rref([(977, 1.0), (3, float("nan")), (1, 1e9), (-1, 0.0)])))
write("xplane_rref", "variation_across_north",
      datagram(rpos(1, 2, 3, 4, 5.0)) + datagram(rref([(1, 5.0), (2, 355.0), (3, 0.0)])))
write("xplane_rref", "partial_pair", datagram(rref([(1, 1.0)])[:-1]))
write("xplane_rref", "many_pairs", datagram(rref([(3, 1.0)] * 184)))
