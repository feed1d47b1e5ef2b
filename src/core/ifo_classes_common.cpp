#include "core/ifo_classes_common.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/bytes.h"

namespace navtab {

std::uint8_t ByteReader::u8(std::size_t offset) const {
    return has(offset, 1) ? bytes_[offset] : 0;
}

std::uint16_t ByteReader::u16(std::size_t offset) const {
    return has(offset, 2) ? be16(bytes_.data() + offset) : 0;
}

std::uint32_t ByteReader::u32(std::size_t offset) const {
    return has(offset, 4) ? be32(bytes_.data() + offset) : 0;
}

void ByteReader::copy(std::size_t offset, std::span<std::uint8_t> out) const {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    if (offset >= bytes_.size()) return;
    const std::size_t n = std::min(out.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
}

std::uint8_t* ByteWriter::at(std::size_t offset, std::size_t length) {
    if (offset > out_.size() || length > out_.size() - offset) {
        std::fprintf(stderr, "ByteWriter: write of %zu bytes at %zu outside a %zu-byte table\n",
                     length, offset, out_.size());
        std::abort();
    }
    return out_.data() + offset;
}

void ByteWriter::u8(std::size_t offset, std::uint8_t v) {
    *at(offset, 1) = v;
}

void ByteWriter::u16(std::size_t offset, std::uint16_t v) {
    put16(at(offset, 2), v);
}

void ByteWriter::u32(std::size_t offset, std::uint32_t v) {
    put32(at(offset, 4), v);
}

void ByteWriter::bytes(std::size_t offset, ByteSpan src) {
    if (src.empty()) return;
    std::copy(src.begin(), src.end(), at(offset, src.size()));
}

void ByteWriter::zero(std::size_t offset, std::size_t length) {
    if (length == 0) return;
    std::fill_n(at(offset, length), length, std::uint8_t{0});
}

ListHeader ListHeader::parse(const ByteReader& in, std::size_t offset) {
    return ListHeader{in.u16(offset), in.u16(offset + 2), in.u32(offset + 4)};
}

void ListHeader::write(ByteWriter& out, std::size_t offset) const {
    out.u16(offset, count);
    out.u16(offset + 2, reserved);
    out.u32(offset + 4, endAddress);
}

void ListHeader::store(ByteWriter& out, std::size_t offset, std::size_t entries,
                       std::size_t tableSize) {
    count = static_cast<std::uint16_t>(entries);
    endAddress = static_cast<std::uint32_t>(tableSize - 1);
    write(out, offset);
}

Serialised Serialised::failure(std::string why) {
    Serialised s;
    s.error = std::move(why);
    return s;
}

std::string limitError(std::string_view table, std::string_view what, std::uint64_t value,
                       std::uint64_t limit) {
    if (value <= limit) return {};
    return std::string(table) + ": " + std::string(what) + " " + std::to_string(value) +
           " exceeds " + std::to_string(limit);
}

std::vector<std::uint8_t> sectorBuffer(std::size_t size) {
    return std::vector<std::uint8_t>(roundToSector(size), 0);
}

std::size_t recordsInside(const ByteReader& in, std::size_t offset, std::size_t recordSize,
                          std::size_t limit, std::size_t wanted) {
    const std::size_t end = std::min(limit, in.size());
    if (offset >= end) return 0;
    return std::min(wanted, (end - offset) / recordSize);
}

}  // namespace navtab
