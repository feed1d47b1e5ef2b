// New management tables, and the builders' sector layout and handles: which pointers they write,
// which tables they refuse, and that a built handle is a file the loader reads back unchanged.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <cstring>
#include <string>

#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "unit/model_support.h"

namespace navtab::test {
namespace {

std::uint32_t dword(const Bytes& b, std::size_t at) {
    return be32(b.data() + at);
}

Bytes serialised(CIfoMat& mat) {
    Serialised s = mat.serialise();
    EXPECT_TRUE(s.ok()) << s.error;
    return s.bytes;
}

TEST(IfoModelNewMat, ATitleSetTableIsItsIdentifierAndVersion) {
    CIfoMat mat(MatForm::TitleSet);
    EXPECT_EQ(mat.firstPlay, nullptr);
    const Bytes b = serialised(mat);
    ASSERT_EQ(b.size(), 2048u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 12), "DVDVIDEO-VTS");
    EXPECT_EQ(b[0x21], 0x11);
    EXPECT_EQ(dword(b, 0x80), 2047u);
    Bytes rest = b;
    std::fill(rest.begin(), rest.begin() + 12, 0);
    rest[0x21] = 0;
    put32(rest.data() + 0x80, 0);
    EXPECT_EQ(rest, Bytes(2048, 0));
}

TEST(IfoModelNewMat, AManagerTableHasOneVolumeOneTitleSetAndAFirstPlayJump) {
    CIfoMat mat(MatForm::Manager);
    ASSERT_NE(mat.firstPlay, nullptr);
    const Bytes b = serialised(mat);
    ASSERT_EQ(b.size(), 2048u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 12), "DVDVIDEO-VMG");
    EXPECT_EQ(b[0x0F], 21);
    EXPECT_EQ(b[0x21], 0x11);
    EXPECT_EQ(b[0x23], 0x40);
    EXPECT_EQ(be16(b.data() + 0x26), 1);
    EXPECT_EQ(be16(b.data() + 0x28), 1);
    EXPECT_EQ(b[0x2A], 1);
    EXPECT_EQ(be16(b.data() + 0x3E), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 0x40)), "NAVTAB BY KORVEL");
    EXPECT_EQ(b[0x40 + 16], 0);
    EXPECT_EQ(dword(b, 0x84), 0x400u);
    // First-play PGC: 236 bytes and a command table of one pre command.
    const std::size_t fp = 0x400;
    EXPECT_EQ(dword(b, 0x80), 1024u + 236 + 16 - 1);
    EXPECT_EQ(be16(b.data() + fp + pgc::kCommandTableStart), 0xEC);
    EXPECT_EQ(be16(b.data() + fp + 0xEC + pgc::kPreCommandCount), 1);
    EXPECT_EQ(be16(b.data() + fp + 0xEC + pgc::kCommandTableSize), 15);
    EXPECT_EQ(Bytes(b.begin() + fp + 0xF4, b.begin() + fp + 0xFC),
              (Bytes{0x30, 0x02, 0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(dword(b, fp + pgc::kPlaybackTime), 0x40u);
}

TEST(IfoModelNewMat, StreamListsAreWrittenWithTheirCounts) {
    CIfoMat mat(MatForm::TitleSet);
    mat.titleVideo = 0x5C00;
    mat.AddTitleAudio()->bytes = {0x44, 0, 'e', 'n', 0, 0, 0, 0};
    mat.AddTitleAudio()->bytes = {0x84, 1, 'd', 'e', 0, 0, 0, 0};
    mat.AddTitleSubp()->bytes = {1, 0, 'f', 'r', 0, 0};
    mat.AddMenuAudio();
    const Bytes b = serialised(mat);
    EXPECT_EQ(be16(b.data() + mat::kTitleVideo), 0x5C00);
    EXPECT_EQ(b[mat::kTitleAudioCount], 2);
    EXPECT_EQ(b[mat::kTitleAudio + 8], 0x84);
    EXPECT_EQ(b[mat::kTitleSubpCount], 1);
    EXPECT_EQ(b[mat::kTitleSubp + 2], 'f');
    EXPECT_EQ(b[mat::kMenuAudioCount], 1);
    EXPECT_EQ(b[mat::kMenuSubpCount], 0);

    mat.AddMenuSubp();
    mat.AddMenuSubp();  // a menu has one sub-picture stream
    EXPECT_FALSE(mat.serialise().ok());
}

TEST(IfoModelNewMat, AFirstPlayPgcBeyondTheFirstSectorIsRefused) {
    CIfoMat mat(MatForm::Manager);
    for (int i = 0; i < 100; ++i) mat.firstPlay->AddCommand(CommandGroup::Post, {});
    EXPECT_GT(mat.size(), 2048u);
    const Serialised s = mat.serialise();
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("first-play PGC"), std::string::npos) << s.error;

    CIfoMat overlapping(MatForm::Manager);
    put32(overlapping.stored.data() + mat::kFirstPlayPgcStart, 0x100);
    EXPECT_FALSE(overlapping.serialise().ok());
}

// A title set with one-sector chapter and PGC tables, a C_ADT just over one sector (171 cells,
// 2060 bytes) and a VOBU map of exactly one sector (511 VOBUs, 2048 bytes).
CIfoVtsBuilder smallTitleSet() {
    CIfoVtsBuilder b;
    b.pttSrpt = std::make_unique<CIfoPttSrpt>();
    b.pttSrpt->AddTitle()->AddPtt(1, 1);
    b.pgcit = std::make_unique<CIfoPgcit>();
    b.pgcit->AddSrp()->pgc->AddCell(Bytes(24, 0), 1, 1, true);
    b.cadt = std::make_unique<CIfoCadt>();
    for (int i = 0; i < 171; ++i) b.cadt->AddCell(1, static_cast<std::uint8_t>(i + 1), 0, 0);
    b.vobuAdmap = std::make_unique<CIfoVobuAdmap>();
    for (std::uint32_t i = 0; i < 511; ++i) b.vobuAdmap->AddVobu(i);
    return b;
}

TEST(IfoModelBuilders, LayoutPlacesPresentTablesAndClearsTheOthers) {
    CIfoVtsBuilder b = smallTitleSet();
    // Pointers left from a source file: every table is somewhere.
    for (const TableLocation& t : kVtsTables) put32(b.mat->stored.data() + t.matPointer, 99);
    b.Layout();
    const std::uint8_t* m = b.mat->stored.data();
    EXPECT_EQ(be32(m + 0xC8), 1u);  // VTS_PTT_SRPT
    EXPECT_EQ(be32(m + 0xCC), 2u);  // VTS_PGCIT
    EXPECT_EQ(be32(m + 0xD0), 0u);  // no menus
    EXPECT_EQ(be32(m + 0xD4), 0u);  // no time maps
    EXPECT_EQ(be32(m + 0xD8), 0u);
    EXPECT_EQ(be32(m + 0xDC), 0u);
    EXPECT_EQ(be32(m + 0xE0), 3u);  // VTS_C_ADT, two sectors
    EXPECT_EQ(be32(m + 0xE4), 5u);  // VTS_VOBU_ADMAP, exactly one sector
    EXPECT_EQ(be32(m + kMatLastSectorOfIfo), 5u);
}

TEST(IfoModelBuilders, BuildIfoFillsTheSlotsOfEveryPresentTable) {
    CIfoVtsBuilder b = smallTitleSet();
    b.menuCadt = std::make_unique<CIfoCadt>();
    b.menuVobuAdmap = std::make_unique<CIfoVobuAdmap>();
    std::string error;
    IfoHandle ifo = b.BuildIfo(&error);
    ASSERT_NE(ifo, nullptr) << error;
    EXPECT_EQ(ifoKind(ifo.get()), IfoKind::Vts);
    EXPECT_EQ(ifo->pos, 0u);
    EXPECT_EQ(ifo->table[ID_MAT].size(), 2048u);
    EXPECT_EQ(ifo->table[ID_VTS_C_ADT].size(), 4096u);
    EXPECT_EQ(ifo->table[ID_VTS_VOBU_ADMAP].size(), 2048u);
    EXPECT_TRUE(ifo->has(ID_VTSM_C_ADT));
    EXPECT_TRUE(ifo->has(ID_VTSM_VOBU_ADMAP));
    EXPECT_FALSE(ifo->has(ID_VTSM_PGCI_UT));
    EXPECT_FALSE(ifo->has(ID_VTS_TMAPTI));
    EXPECT_EQ(be32(ifo->table[ID_MAT].data() + 0xD8), 3u);
    EXPECT_EQ(be32(ifo->table[ID_MAT].data() + kMatLastSectorOfIfo), 7u);
}

TEST(IfoModelBuilders, ABuiltFileReadsBackAsItWasBuilt) {
    CIfoVtsBuilder b = smallTitleSet();
    IfoHandle built = b.BuildIfo();
    ASSERT_NE(built, nullptr);
    TempDir dir;
    const std::string path = dir.file("VTS_01_0.IFO");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    RecordingInteraction ui;
    EXPECT_TRUE(ifoWrite(fd, built.get(), ui));
    ::close(fd);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();  // positions and end sector agree
    IfoHandle read = loadSample(path);
    ASSERT_NE(read, nullptr);
    for (int id = 0; id < kIfoTableSlots; ++id) EXPECT_EQ(read->table[id], built->table[id]) << id;
}

TEST(IfoModelBuilders, ATableThatCannotBeWrittenYieldsNoHandle) {
    CIfoVtsBuilder b = smallTitleSet();
    for (int i = 0; i < 256; ++i) b.pgcit->srps[0]->pgc->AddCell(Bytes(24, 0), 1, 1, false);
    std::string error;
    EXPECT_EQ(b.BuildIfo(&error), nullptr);
    EXPECT_NE(error.find("VTS_PGCIT"), std::string::npos) << error;
    EXPECT_NE(error.find("number of cells"), std::string::npos) << error;
}

TEST(IfoModelBuilders, EachBuilderNeedsItsOwnFormOfManagementTable) {
    CIfoVtsBuilder vts;
    vts.mat = std::make_unique<CIfoMat>(MatForm::Manager);
    std::string error;
    EXPECT_EQ(vts.BuildIfo(&error), nullptr);
    EXPECT_FALSE(error.empty());
    CIfoVmgBuilder vmg;
    vmg.mat.reset();
    EXPECT_EQ(vmg.BuildIfo(), nullptr);
}

TEST(IfoModelBuilders, AManagerHoldsNoParentalOrTextTable) {
    CIfoVmgBuilder b;
    put32(b.mat->stored.data() + 0xCC, 7);  // VMG_PTL_MAIT of a source file
    put32(b.mat->stored.data() + 0xD4, 8);  // VMG_TXTDT_MG
    b.ttSrpt = std::make_unique<CIfoTtSrpt>();
    b.ttSrpt->AddTitle();
    b.vtsAtrt = std::make_unique<CIfoVtsAtrt>();
    b.vtsAtrt->AddTitleSet();
    IfoHandle ifo = b.BuildIfo();
    ASSERT_NE(ifo, nullptr);
    const std::uint8_t* m = ifo->table[ID_MAT].data();
    EXPECT_EQ(be32(m + 0xC4), 1u);
    EXPECT_EQ(be32(m + 0xC8), 0u);
    EXPECT_EQ(be32(m + 0xCC), 0u);
    EXPECT_EQ(be32(m + 0xD0), 2u);
    EXPECT_EQ(be32(m + 0xD4), 0u);
    EXPECT_EQ(be32(m + kMatLastSectorOfIfo), 2u);
    EXPECT_TRUE(ifo->has(ID_VMG_PTT_SRPT));
    EXPECT_TRUE(ifo->has(ID_VMG_VTS_ATRT));
    EXPECT_EQ(ifoKind(ifo.get()), IfoKind::Vmg);
}

}  // namespace
}  // namespace navtab::test
