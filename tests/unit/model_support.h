// Helpers for the object-model tests: loading the sample IFO files, and giving parsed PGCs back
// the cells that their parser leaves out, exactly as the source PGC lists them.
#pragma once

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/document.h"
#include "core/ifo_classes.h"
#include "unit/test_support.h"

namespace navtab::test {

inline IfoHandle loadSample(const std::string& path) {
    RecordingInteraction ui;
    IfoHandle ifo = openIfoFile(path, ui);
    EXPECT_NE(ifo, nullptr) << path;
    return ifo;
}

// Adds to `pgc` the cells of the source PGC at `offset` of `table`: each cell from its playback
// and position entries, starting a program where the source program map has one.
inline void addSourceCells(CIfoPgc& pgc, ByteSpan table, std::size_t offset) {
    const std::uint8_t* p = table.data() + offset;
    const std::size_t programs = p[pgc::kProgramCount];
    const std::size_t cells = p[pgc::kCellCount];
    const std::uint8_t* map = p + be16(p + pgc::kProgramMapStart);
    const std::uint8_t* playback = p + be16(p + pgc::kCellPlaybackStart);
    const std::uint8_t* position = p + be16(p + pgc::kCellPositionStart);
    for (std::size_t c = 1; c <= cells; ++c) {
        const bool startsProgram = std::find(map, map + programs, c) != map + programs;
        const std::uint8_t* pos = position + (c - 1) * pgc::kCellPositionSize;
        pgc.AddCell(ByteSpan(playback + (c - 1) * pgc::kCellPlaybackSize, pgc::kCellPlaybackSize),
                    be16(pos + pgc::kCellVobId), pos[pgc::kCellId], startsProgram);
    }
}

// The same for every PGC of a PGC list that starts at `listOffset` of `table`.
inline void addSourceCells(CIfoPgcList& list, ByteSpan table, std::size_t listOffset) {
    for (const auto& srp : list.srps) addSourceCells(*srp->pgc, table, listOffset + srp->pgcStart);
}

inline void addSourceCells(CIfoPgciUt& ut, ByteSpan table) {
    for (const auto& unit : ut.units) addSourceCells(*unit, table, unit->unitStart);
}

// A VTS_PGCIT or PGCI_UT parsed from a sample table with its cells added back.
inline CIfoPgcit pgcitWithCells(ByteSpan table) {
    CIfoPgcit pgcit(table);
    addSourceCells(pgcit, table, 0);
    return pgcit;
}

inline CIfoPgciUt pgciUtWithCells(ByteSpan table) {
    CIfoPgciUt ut(table);
    addSourceCells(ut, table);
    return ut;
}

// The serialised bytes, or a test failure with the refusal.
inline Bytes bytesOf(const Serialised& s) {
    EXPECT_TRUE(s.ok()) << s.error;
    return s.bytes;
}
template <typename Table>
Bytes serialised(Table& table) {
    return bytesOf(table.serialise());
}

// Big-endian words of serialised bytes.
inline std::uint16_t word(const Bytes& b, std::size_t at) {
    return be16(b.data() + at);
}
inline std::uint32_t dword(const Bytes& b, std::size_t at) {
    return be32(b.data() + at);
}

}  // namespace navtab::test
