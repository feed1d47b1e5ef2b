// Loading IFO files into table buffers and writing them back, including damaged files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "core/bytes.h"
#include "core/document.h"
#include "core/ifo_main.h"
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
    Bytes file = test::buildVtsFile(
        {{ID_PTT_SRPTI, 1, 2047}, {ID_VTS_PGCITI, 2, 2048}, {ID_VTS_C_ADT, 4, 10}});
    IfoHandle ifo = openBytes(dir, file);
    ASSERT_TRUE(ifo);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_PTT_SRPTI), 2048u);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_VTS_PGCITI), 4096u);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_VTS_C_ADT), 2048u);
    EXPECT_EQ(ifoTableSize(ifo.get(), ID_VTS_TMAPTI), 0u);  // pointer 0: absent
    EXPECT_EQ(ifo->table[ID_VTS_PGCITI][2048], 0xA0 + ID_VTS_PGCITI);
    EXPECT_EQ(ifoTableEnd(ID_VTS_PGCITI, ifo->table[ID_VTS_PGCITI].data()), 2048u);
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
    Bytes edge = test::buildVtsFile({{ID_VTS_C_ADT, 1, 2047}});
    ASSERT_TRUE(openBytes(dir, edge)->has(ID_VTS_C_ADT));
    test::put32At(edge, kSectorSize + 4, 2048);
    EXPECT_FALSE(openBytes(dir, edge)->has(ID_VTS_C_ADT));
}

TEST(IfoLoading, EmptyAndTruncatedFilesOpenWithWhatTheyHold) {
    test::TempDir dir;
    IfoHandle empty = openBytes(dir, {});
    ASSERT_TRUE(empty);
    EXPECT_EQ(ifoKind(empty.get()), IfoKind::Unknown);
    ASSERT_EQ(empty->table[ID_MAT].size(), kSectorSize);
    EXPECT_EQ(empty->table[ID_MAT][100], 0);
    for (int id = 1; id < kIfoTableSlots; ++id) EXPECT_FALSE(empty->has(id));
    Bytes cut = test::buildVtsFile({{ID_PTT_SRPTI, 1, 100}});
    cut.resize(1000);
    IfoHandle truncated = openBytes(dir, cut);
    ASSERT_TRUE(truncated);
    EXPECT_EQ(ifoKind(truncated.get()), IfoKind::Vts);
    EXPECT_FALSE(truncated->has(ID_PTT_SRPTI));
    ASSERT_GE(truncated->loadProblems.size(), 2u);
    EXPECT_EQ(truncated->loadProblems[0],
              "the file holds only 1000 bytes of its 2048-byte management table");
    EXPECT_EQ(truncated->loadProblems[1], "ID_PTT_SRPTI could not be loaded from sector 1");
    const IfoFileImage image = ifoFileImage(*truncated);
    ASSERT_TRUE(image.ok());
    ASSERT_EQ(image.bytes.size(), kSectorSize);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), image.bytes.begin()));
}

TEST(IfoLoading, TablesStayWhereTheirPointersSayAndGapsKeepTheirBytes) {
    test::TempDir dir;
    Bytes file = test::buildVtsFile({{ID_PTT_SRPTI, 3, 100}, {ID_VTS_PGCITI, 1, 100}});
    std::fill(file.begin() + 2 * kSectorSize, file.begin() + 3 * kSectorSize, 0x5C);
    file.resize(5 * kSectorSize, 0x7E);
    test::put32At(file, kMatLastSectorOfIfo, 4);
    IfoHandle ifo = openBytes(dir, file);
    ASSERT_TRUE(ifo);
    ifo->table[ID_VTS_PGCITI][50] = 0x42;
    test::RecordingInteraction ui;
    Bytes expected = file;
    expected[kSectorSize + 50] = 0x42;
    EXPECT_EQ(writeBack(dir, *ifo, ui), expected);
    EXPECT_TRUE(ui.messages.empty());
    test::put32At(ifo->table[ID_MAT], kMatLastSectorOfIfo, 9);
    writeBack(dir, *ifo, ui);
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "There's something wrong!\n The IFO Endsector does not match "
                               "the file size."});
}

TEST(IfoLoading, ASaveThatWouldPlaceTablesOverEachOtherIsRefused) {
    test::TempDir dir;
    const Bytes file =
        test::buildVtsFile({{ID_PTT_SRPTI, 1, 83}, {ID_VTS_PGCITI, 2, 100}, {ID_VTS_C_ADT, 3, 50}});
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;  // applied to the file before it is loaded
        std::function<void(ifo_t&)> edit;    // applied to the loaded handle
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {"an end address enlarged over the next table",
         [](Bytes& b) { test::put32At(b, kSectorSize + 4, 2148); }, [](ifo_t&) {},
         "Can't save: ID_VTS_PGCITI would overlap ID_PTT_SRPTI."},
        {"two pointers naming one sector", [](Bytes& b) { test::put32At(b, 0xE0, 2); },
         [](ifo_t&) {}, "Can't save: ID_VTS_C_ADT would overlap ID_VTS_PGCITI."},
        {"a pointer edited to the management sector", [](Bytes&) {},
         [](ifo_t& i) { test::put32At(i.table[ID_MAT], 0xE0, 0); },
         "Can't save: ID_VTS_C_ADT is loaded, but the management table gives it no sector."},
        {"a pointer edited far past the file", [](Bytes&) {},
         [](ifo_t& i) { test::put32At(i.table[ID_MAT], 0xE0, 0x7FFFFFFF); },
         "Can't save: ID_VTS_C_ADT would start at sector 2147483647, far beyond the end of the "
         "file."},
    };
    for (const Case& c : cases) {
        Bytes damaged = file;
        c.damage(damaged);
        test::writeFile(dir.file("out.IFO"), damaged);
        IfoHandle ifo = openBytes(dir, damaged);
        ASSERT_TRUE(ifo) << c.what;
        c.edit(*ifo);
        test::RecordingInteraction ui;
        EXPECT_FALSE(writeIfoFileAtomically(dir.file("out.IFO"), *ifo, ui)) << c.what;
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.refusal + "\nNothing was written."})
            << c.what;
        EXPECT_EQ(test::readFile(dir.file("out.IFO")), damaged) << c.what;
    }
}

}  // namespace
}  // namespace navtab
