#!/usr/bin/python3
"""Prints the cross-check vectors of Cast128Test, Cast256Test, DesTest, TwofishTest and IdeaTest
(their single blocks as rows of data/block/<cipher>.tsv), made with independent
implementations from Debian packages:

  - Botan 2 through its Python binding (package python3-botan): CAST-128 with 11- to 16-byte
    keys, CAST-256, Twofish, IDEA, two- and three-key TripleDES; ECB and CFB(8).
  - OpenSSL: the command line (openssl enc -nopad -K ... -iv ...) for DES and DES-EDE3 in ECB
    and CFB8, and libcrypto's CAST_set_key / CAST_ecb_encrypt through ctypes for CAST-128 with
    5- and 10-byte keys (12 rounds), which neither command line accepts; 8-bit CFB is then
    built around that ECB in this script.

Keys of the sizes this suite pads are handed to the tools already padded, as the suite's key
rules say: CAST-256 and Twofish with 160 bits get four zero bytes (CAST-256: to 32 bytes,
Twofish: to 192 bits), 3DES with 160 bits gets K3 = bytes 17-20 + four zero bytes, two-key
3DES is run as DES-EDE3 with K1 K2 K1, and 3DES with 132 bits as K1 K2 and eight zero bytes.

Run: /usr/bin/python3 tests/crypto/tools/cipher_cross_vectors.py
"""
import base64
import ctypes
import ctypes.util
import subprocess

import botan2

IV8 = bytes.fromhex("f0e1d2c3b4a59687")
IV16 = bytes.fromhex("000102030405060708090a0b0c0d0e0f")
PLAIN = bytes.fromhex("6bc1bee22e409f96e93d7e117393172aae2d8a571e")  # 21 bytes: not whole blocks
TEXT = "Setup \u2713 \u5b89\u88c5 Glyphor"  # UTF-16 text for the string operations


def botan_ecb(algo, key, block):
    c = botan2.BlockCipher(algo)
    c.set_key(key)
    return bytes(c.encrypt(block))


def botan_cfb8(algo, key, iv, data):
    c = botan2.SymmetricCipher(algo + "/CFB(8)")
    c.set_key(key)
    c.start(iv)
    return bytes(c.finish(data))


def openssl(cipher, key, iv, data):
    args = ["openssl", "enc", "-" + cipher, "-provider", "legacy", "-provider", "default", "-nopad", "-K", key.hex()]
    if iv is not None:
        args += ["-iv", iv.hex()]
    return subprocess.run(args, input=data, capture_output=True, check=True).stdout


_crypto = ctypes.CDLL(ctypes.util.find_library("crypto"))


def libcrypto_cast_ecb(key, block):
    schedule = ctypes.create_string_buffer(512)  # CAST_KEY is 32 words and a flag
    _crypto.CAST_set_key(schedule, len(key), key)
    out = ctypes.create_string_buffer(8)
    _crypto.CAST_ecb_encrypt(block, out, schedule, 1)
    return out.raw


def cfb8(ecb, iv, data):
    register = bytearray(iv)
    out = bytearray()
    for byte in data:
        c = byte ^ ecb(bytes(register))[0]
        out.append(c)
        register = register[1:] + bytes([c])
    return bytes(out)


def emit_block(name, key_bits, key, plain, cipher):
    # A row of data/block/<cipher>.tsv.
    print("\t".join((name, str(key_bits), key.hex(), plain.hex(), cipher.hex())))


def emit(name, key_bits, key, iv, plain, cipher):
    print('    {"%s", %d, "%s", "%s", "%s", "%s"},' % (name, key_bits, key.hex(), iv.hex(), plain.hex(), cipher.hex()))


def emit_text(name, key_bits, key, iv, cipher):
    print('    {"%s", %d, "%s", "%s", "%s"},' % (name, key_bits, key.hex(), iv.hex(), base64.b64encode(cipher).decode()))


def pad(key, length):
    return key + bytes(length - len(key))


TEXT_BYTES = TEXT.encode("utf-16-le")

print("// CAST-128")
# The short-key path of libcrypto reproduces RFC 2144 B.1 before it is trusted here.
assert libcrypto_cast_ecb(bytes.fromhex("0123456712"), bytes.fromhex("0123456789abcdef")).hex() == "7ac816d16e9b302e"
assert libcrypto_cast_ecb(bytes.fromhex("01234567123456782345"), bytes.fromhex("0123456789abcdef")).hex() == "eb6a711a2c02271b"
k128 = bytes.fromhex("0123456712345678234567893456789a")
for bits in (40, 80, 128):
    key = k128[: bits // 8]
    ecb = (lambda b, key=key: botan_ecb("CAST-128", key, b)) if bits > 88 else (
        lambda b, key=key: libcrypto_cast_ecb(key, b))
    if bits > 88:  # both tools agree where both apply
        assert ecb(PLAIN[:8]) == libcrypto_cast_ecb(key, PLAIN[:8])
        assert botan_cfb8("CAST-128", key, IV8, PLAIN) == cfb8(ecb, IV8, PLAIN)
    emit("Cfb8Key%d" % bits, bits, key, IV8, PLAIN, cfb8(ecb, IV8, PLAIN))
    emit_text("TextKey%d" % bits, bits, key, IV8, cfb8(ecb, IV8, TEXT_BYTES))
key = bytes.fromhex("a4c3b2e1f0a1b2c3d4e5f60718")  # 104 bits: 16 rounds, padded by the cipher
assert botan_ecb("CAST-128", key, PLAIN[:8]) == libcrypto_cast_ecb(key, PLAIN[:8])
emit_block("EcbKey104", 104, key, PLAIN[:8], botan_ecb("CAST-128", key, PLAIN[:8]))

# RFC 2144 B.2's maintenance loop, stopped early for builds where a million steps are slow.
a = b = bytes.fromhex("0123456712345678234567893456789a")
for step in range(10000):
    a = botan_ecb("CAST-128", b, a[:8]) + botan_ecb("CAST-128", b, a[8:])
    b = botan_ecb("CAST-128", a, b[:8]) + botan_ecb("CAST-128", a, b[8:])
print('    // Maintenance after 10000 steps: a = %s, b = %s' % (a.hex(), b.hex()))

print("// CAST-256")
k256 = bytes.fromhex("2342bb9efa38542cbed0ac83940ac2988d7c47ce264908461cc1b5137ae6b604")
for bits in (128, 160, 256):
    key = k256[: bits // 8]
    tool_key = pad(key, 32)
    emit_block("EcbKey%d" % bits, bits, key, PLAIN[:16], botan_ecb("CAST-256", tool_key, PLAIN[:16]))
    emit("Cfb8Key%d" % bits, bits, key, IV16, PLAIN, botan_cfb8("CAST-256", tool_key, IV16, PLAIN))
    emit_text("TextKey%d" % bits, bits, key, IV16, botan_cfb8("CAST-256", tool_key, IV16, TEXT_BYTES))

print("// DES")
kdes = bytes.fromhex("133457799bbcdff1")
emit_block("EcbKey32", 32, kdes[:4], PLAIN[:8], openssl("des-ecb", pad(kdes[:4], 8), None, PLAIN[:8]))
for bits in (32, 64):
    key = kdes[: bits // 8]
    emit("Cfb8Key%d" % bits, bits, key, IV8, PLAIN, openssl("des-cfb8", pad(key, 8), IV8, PLAIN))
    emit_text("TextKey%d" % bits, bits, key, IV8, openssl("des-cfb8", pad(key, 8), IV8, TEXT_BYTES))

print("// 3DES")
k3 = bytes.fromhex("0123456789abcdef23456789abcdef01456789abcdef0123")
for bits in (128, 160, 192):
    key = k3[: bits // 8]
    padded = pad(key, 24)
    tool_key = padded[:16] + padded[:8] if bits <= 128 else padded
    if bits == 128:
        assert botan_ecb("TripleDES", key, PLAIN[:8]) == openssl("des-ede3-ecb", tool_key, None, PLAIN[:8])
    emit_block("EcbKey%d" % bits, bits, key, PLAIN[:8], openssl("des-ede3-ecb", tool_key, None, PLAIN[:8]))
    emit("Cfb8Key%d" % bits, bits, key, IV8, PLAIN, openssl("des-ede3-cfb8", tool_key, IV8, PLAIN))
    emit_text("TextKey%d" % bits, bits, key, IV8, openssl("des-ede3-cfb8", tool_key, IV8, TEXT_BYTES))

# 132 bits reads 16 bytes and is above 128 bits: K3 is the all-zero padding, not K1.
emit_block("EcbSize132", 132, k3[:16] + b"\xff", PLAIN[:8], openssl("des-ede3-ecb", k3[:16] + bytes(8), None, PLAIN[:8]))

print("// Twofish")
ktf = bytes.fromhex("0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff")
for bits in (128, 160, 192, 256):
    key = ktf[: bits // 8]
    tool_key = pad(key, 16 if bits <= 128 else 24 if bits <= 192 else 32)
    emit_block("EcbKey%d" % bits, bits, key, PLAIN[:16], botan_ecb("Twofish", tool_key, PLAIN[:16]))
    emit("Cfb8Key%d" % bits, bits, key, IV16, PLAIN, botan_cfb8("Twofish", tool_key, IV16, PLAIN))
    emit_text("TextKey%d" % bits, bits, key, IV16, botan_cfb8("Twofish", tool_key, IV16, TEXT_BYTES))

print("// IDEA")
kidea = bytes.fromhex("3a984e2000195db32ee501c8c47cea60")
for bits in (64, 128):
    key = kidea[: bits // 8]
    tool_key = pad(key, 16)
    emit_block("EcbKey%d" % bits, bits, key, PLAIN[:8], botan_ecb("IDEA", tool_key, PLAIN[:8]))
    emit("Cfb8Key%d" % bits, bits, key, IV8, PLAIN, botan_cfb8("IDEA", tool_key, IV8, PLAIN))
    emit_text("TextKey%d" % bits, bits, key, IV8, botan_cfb8("IDEA", tool_key, IV8, TEXT_BYTES))
# Keys and blocks that make the multiplication meet 0 (standing for 2^16) and 1.
for name, key_hex, plain_hex in (("ZeroKey", "00" * 16, "0000000000000000"),
                                 ("OnesKey", "0001" * 8, "ffffffffffffffff"),
                                 ("AllFfKey", "ff" * 16, "0001000100010001")):
    emit_block(name, 128, bytes.fromhex(key_hex), bytes.fromhex(plain_hex),
               botan_ecb("IDEA", bytes.fromhex(key_hex), bytes.fromhex(plain_hex)))
