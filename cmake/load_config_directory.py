"""Points a linked PE image's load-configuration directory entry at the
image's _load_config_used, which GNU ld leaves unset, and brings the image's
checksum up to date. The symbol's address comes from the link's map (the
image itself is linked without symbols).

    load_config_directory.py IMAGE MAP

Running it again on its own output changes nothing."""
import re
import struct
import sys

LOAD_CONFIG = 10  # index of the load-configuration entry among the data directories


def symbol_address(map_text, name):
    found = re.findall(r"^\s+0x([0-9a-fA-F]+)\s+" + re.escape(name) + r"$", map_text, re.M)
    if len(found) != 1:
        sys.exit(f"load_config_directory: {name} is defined {len(found)} times in the map")
    return int(found[0], 16)


def file_offset(image, headers, section_count, rva):
    for i in range(section_count):
        _, size, address, raw_size, raw_offset = struct.unpack_from("<8sIIII", image, headers + 40 * i)
        if address <= rva < address + max(size, raw_size):
            return raw_offset + rva - address
    sys.exit(f"load_config_directory: RVA {rva:#x} lies in no section")


def checksum(image, field):
    total = 0
    data = bytes(image[:field]) + b"\0\0\0\0" + bytes(image[field + 4:])
    if len(data) % 2:
        data += b"\0"
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def main(image_path, map_path):
    with open(image_path, "rb") as f:
        image = bytearray(f.read())
    with open(map_path, encoding="utf-8", errors="replace") as f:
        address = symbol_address(f.read(), "_load_config_used")

    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"load_config_directory: {image_path} is not a PE image")
    section_count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    if magic == 0x20B:
        image_base = struct.unpack_from("<Q", image, optional + 24)[0]
        directories = optional + 112
    else:
        image_base = struct.unpack_from("<I", image, optional + 28)[0]
        directories = optional + 96
    sections = optional + optional_size

    rva = address - image_base
    size = struct.unpack_from("<I", image, file_offset(image, sections, section_count, rva))[0]
    struct.pack_into("<II", image, directories + 8 * LOAD_CONFIG, rva, size)
    checksum_field = optional + 64
    struct.pack_into("<I", image, checksum_field, checksum(image, checksum_field))

    with open(image_path, "wb") as f:
        f.write(image)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
