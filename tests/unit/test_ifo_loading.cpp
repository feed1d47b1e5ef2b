// Loading IFO files into table buffers and writing them back, including damaged files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/bytes.h"
#include "core/document.h"
#include "core/ifo_main.h"
#include "core/misc.h"
#include "unit/test_support.h"

namespace navtab {
namespace {

using test::Bytes;

IfoHandle openBytes(const test::TempDir& dir, const Bytes& bytes) {
    const std::string path = dir.file("t.IFO");
    test::writeFile(path, bytes);
    int fd = open(path.c_str(), O_RDONLY);
    IfoHandle ifo = ifoOpen(fd, 0, 0);
    close(fd);
    return ifo;
}

Bytes writeBack(const test::TempDir& dir, ifo_t& ifo, test::RecordingInteraction& ui) {
    const std::string out = dir.file("out.IFO");
    EXPECT_TRUE(writeIfoFileAtomically(out, ifo, ui));
    return test::readFile(out);
}

TEST(IfoLoading, TablesAreSizedInWholeSectorsByTheirEndAddress) {
    test::TempDir dir;
    // VTS_PTT_SRPT ends at 2047 (one sector), VTS_PGCIT at 2048 (two sectors), C_ADT at 10.
    Bytes file = test::buildVtsFile(
        {{ID_PTT_SRPTI, 1, 2047}, {ID_VTS_PGCITI, 2, 2048}, {ID_VTS_C_ADT, 4, 10}});
    IfoHandle ifo = openBytes(dir, file);
    ASSERT_TRUE(ifo);
    EXPECT_EQ(ifoIsVTS(ifo.get()), 0);
    EXPECT_EQ(ifoIsVMG(ifo.get()), -1);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_PTT_SRPTI), 2048u);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_VTS_PGCITI), 4096u);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_VTS_C_ADT), 2048u);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_VTS_TMAPTI), 0u);  // pointer 0: absent
    EXPECT_EQ(ifo->table[ID_VTS_PGCITI][2048], 0xA0 + ID_VTS_PGCITI);
    EXPECT_EQ(ifoTableEnd(ID_VTS_PGCITI, ifo->table[ID_VTS_PGCITI].data()), 2048u);
    EXPECT_EQ(ifoTableEnd(ID_VTS_PGCITI, nullptr), 0u);
    EXPECT_EQ(ifoTableName(ID_VTS_C_ADT), "ID_VTS_C_ADT");
    EXPECT_EQ(ifoTableName(6), "");

    // Contiguous tables in id order come back byte for byte, without a message.
    test::RecordingInteraction ui;
    EXPECT_EQ(writeBack(dir, *ifo, ui), file);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(IfoLoading, PointersAndEndAddressesOutsideTheFileLeaveTheSlotEmpty) {
    test::TempDir dir;
    Bytes file = test::buildVtsFile(
        {{ID_PTT_SRPTI, 1, 100}, {ID_VTS_PGCITI, 2, 100}, {ID_VTS_C_ADT, 3, 100}});
    test::put32At(file, 0xCC, 0xFFFFFFFF);                 // VTS_PGCIT: sector far past the end
    test::put32At(file, 3 * kSectorSize + 4, 0xFFFFFFFE);  // VTS_C_ADT: end address near 2^32
    IfoHandle ifo = openBytes(dir, file);
    ASSERT_TRUE(ifo);
    EXPECT_TRUE(ifo->has(ID_PTT_SRPTI));
    EXPECT_FALSE(ifo->has(ID_VTS_PGCITI));
    EXPECT_FALSE(ifo->has(ID_VTS_C_ADT));

    // An end address one byte past the file is refused; the last byte of the file is fine.
    Bytes edge = test::buildVtsFile({{ID_VTS_C_ADT, 1, 2047}});
    ASSERT_TRUE(openBytes(dir, edge)->has(ID_VTS_C_ADT));
    test::put32At(edge, kSectorSize + 4, 2048);
    EXPECT_FALSE(openBytes(dir, edge)->has(ID_VTS_C_ADT));
}

TEST(IfoLoading, EmptyTruncatedAndForeignFilesOpenWithOnlyTheManagementTable) {
    test::TempDir dir;
    IfoHandle empty = openBytes(dir, {});
    ASSERT_TRUE(empty);
    EXPECT_EQ(ifoKind(empty.get()), IfoKind::Unknown);
    ASSERT_EQ(empty->table[ID_MAT].size(), kSectorSize);
    EXPECT_EQ(empty->table[ID_MAT][100], 0);
    for (int id = 1; id < kIfoTableSlots; ++id) EXPECT_FALSE(empty->has(id));
    // Written back: one sector; the last-sector field is 0, so it matches and nothing is said.
    test::RecordingInteraction ui;
    EXPECT_EQ(writeBack(dir, *empty, ui).size(), kSectorSize);
    EXPECT_TRUE(ui.messages.empty());

    // A foreign file whose 0x1C field is not 0 is written as one sector, with the end message.
    Bytes foreign(3000, 0x11);
    IfoHandle other = openBytes(dir, foreign);
    ASSERT_TRUE(other);
    EXPECT_EQ(writeBack(dir, *other, ui).size(), kSectorSize);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              "There's something wrong!\n The IFO Endsector does not match the file size.");

    // A title set cut off inside its management table: its pointers lead nowhere.
    Bytes cut = test::buildVtsFile({{ID_PTT_SRPTI, 1, 100}});
    cut.resize(1000);
    IfoHandle truncated = openBytes(dir, cut);
    ASSERT_TRUE(truncated);
    EXPECT_EQ(ifoKind(truncated.get()), IfoKind::Vts);
    EXPECT_FALSE(truncated->has(ID_PTT_SRPTI));
}

TEST(IfoLoading, TablesWithGapsOrOutOfOrderAreWrittenCompactedWithOneMessageEach) {
    test::TempDir dir;
    // PTT_SRPT at sector 3 after a gap, PGCIT before it at sector 1: both land elsewhere on write.
    Bytes file = test::buildVtsFile({{ID_PTT_SRPTI, 3, 100}, {ID_VTS_PGCITI, 1, 100}});
    IfoHandle ifo = openBytes(dir, file);
    ASSERT_TRUE(ifo);
    test::RecordingInteraction ui;
    Bytes out = writeBack(dir, *ifo, ui);
    EXPECT_EQ(out.size(), 3 * kSectorSize);
    const std::string prefix =
        "There's something wrong!\n The file position does not match the offset for table: ";
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0], prefix + "ID_PTT_SRPTI");
    EXPECT_EQ(ui.messages[1], prefix + "ID_VTS_PGCITI");
    EXPECT_EQ(ui.messages[2],
              "There's something wrong!\n The IFO Endsector does not match the file size.");
    // The tables follow the management table in id order.
    EXPECT_EQ(out[kSectorSize + 100], 0xA0 + ID_PTT_SRPTI);
    EXPECT_EQ(out[2 * kSectorSize + 100], 0xA0 + ID_VTS_PGCITI);
}

TEST(IfoLoading, ReadAtReportsFailedSeeksAndShortReads) {
    test::TempDir dir;
    test::writeFile(dir.file("f"), Bytes(10, 7));
    int fd = open(dir.file("f").c_str(), O_RDONLY);
    std::uint8_t buffer[32] = {};
    EXPECT_EQ(readAt(fd, 4, 32, buffer), 6);
    EXPECT_EQ(buffer[5], 7);
    EXPECT_EQ(readAt(fd, 100, 4, buffer), 0);
    close(fd);
    EXPECT_EQ(readAt(-1, 0, 4, buffer), -1);
}

}  // namespace
}  // namespace navtab
