// The frame-type template (its numbering on the samples is held against ffprobe in
// test_vob_samples.cpp): picture numbering on hand-made streams, the file it writes (and does
// not write), the command with its dialogs, and navtab-cli template.
#include <gtest/gtest.h>
#include <filesystem>

#include "unit/vob_fake_ui.h"
#include "unit/vob_test_streams.h"
#include "vob/frame_template.h"

namespace navtab::test {
namespace {

using namespace navtab::vob;

std::string templateOf(const std::vector<Sector>& sectors, FrameTypes types = {}) {
    VobJob job;
    job.templ.selectI = types.i;
    job.templ.selectP = types.p;
    job.templ.selectB = types.b;
    for (const Sector& s : sectors) TemplatePack(job, s);
    return job.templ.lines;
}

std::string text(const std::string& path) {
    const Bytes b = readFile(path);
    return std::string(b.begin(), b.end());
}

// A start code split across packets is found once; other picture types take a number without a
// line; a bottom field hands its number back.
TEST(FrameTemplate, SplitStartCodesOtherTypesAndFields) {
    const Bytes p = pictureHeader(kPPicture);
    EXPECT_EQ(templateOf({fullVideoSector(pictureHeader(kIPicture), {0, 0}),
                          fullVideoSector(Bytes(p.begin() + 2, p.end()))}),
              "0,I\n1,P\n");
    EXPECT_EQ(templateOf({fullVideoSector(
                  concat({pictureHeader(kIPicture), sliceData(4), pictureHeader(4), sliceData(4),
                          pictureHeader(0), sliceData(4), pictureHeader(kBPicture)}))}),
              "0,I\n3,B\n");
    auto field = [](unsigned type, unsigned structure) {
        return fullVideoSector(
            concat({pictureHeader(type), pictureCodingExtension(structure, true, false)}));
    };
    EXPECT_EQ(templateOf({field(kIPicture, kTopField), field(kPPicture, kBottomField),
                          field(kPPicture, 3)}),
              "0,I\n1,P\n1,P\n");
}

// A title set of one hand-made VOB file: two closed GOPs of three pictures.
std::string smallTitleSet(const TempDir& dir) {
    writeFile(dir.file("VTS_01_0.IFO"), Bytes(2048, 0));
    std::vector<Sector> s;
    for (int gop = 0; gop < 2; ++gop) {
        s.push_back(navPack({}));
        s.push_back(fullVideoSector(concat({sequenceHeader(), pictureHeader(kIPicture)})));
        s.push_back(fullVideoSector(pictureHeader(kBPicture)));
        s.push_back(fullVideoSector(pictureHeader(kPPicture)));
    }
    writeSectors(dir.file("VTS_01_1.VOB"), s);
    return dir.file("VTS_01_0.IFO");
}

TEST(FrameTemplate, FileIsReplacedOnlyByACompleteTemplate) {
    TempDir dir;
    smallTitleSet(dir);
    const std::vector<std::string> vobs = {dir.file("VTS_01_1.VOB")};
    RecordingInteraction ui;
    writeFile(dir.file("t.txt"), {'o', 'l', 'd'});
    FakeDialogs dialogs;
    dialogs.cancel = true;
    const auto window = dialogs.showProgress("");
    EXPECT_EQ(CreateTemplate(vobs, {}, dir.file("t.txt"), window.get(), ui),
              TemplateResult::Cancelled);
    EXPECT_EQ(text(dir.file("t.txt")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              3);  // no leftovers

    EXPECT_EQ(CreateTemplate(vobs, {true, true, false}, dir.file("t.txt"), nullptr, ui),
              TemplateResult::Written);
    EXPECT_EQ(text(dir.file("t.txt")), "0,I\n2,P\n3,I\n5,P\n");

    EXPECT_EQ(CreateTemplate(vobs, {}, dir.file("no/such/folder/t.txt"), nullptr, ui),
              TemplateResult::OpenFailed);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error opening template file!"});
}

// The command through the window is tested in tests/ui: here a name without extension gets .txt,
// and cancelling either dialog writes nothing.
TEST(FrameTemplate, CommandAddsTheExtensionAndCancelsWithoutWriting) {
    TempDir dir;
    IfoDocument doc;
    doc.path = smallTitleSet(dir);
    FakeDialogs dialogs;
    dialogs.types = {false, false, true};
    RecordingInteraction ui;
    for (const char* file : {"frames", "cancelled.txt", ""}) {
        dialogs.answer = file[0] != 'c';
        dialogs.templateFile = file[0] ? dir.file(file) : "";
        OnCreateTemplate(&doc, dialogs, ui);
    }
    EXPECT_EQ(text(dir.file("frames.txt")), "1,B\n4,B\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("cancelled.txt")));
    EXPECT_TRUE(ui.messages.empty());
}

// The template's content on the samples is held against ffprobe (test_vob_samples.cpp).
TEST(FrameTemplateCli, RejectsBadTypesAndAnUnwritableFile) {
    TempDir dir;
    const std::string ifo = sampleFile("pal169", "VTS_01_0.IFO");
    for (const char* types : {"--types=X", "--types="})
        EXPECT_EQ(runCli({"template", ifo, dir.file("t.txt"), types}).status, 2) << types;
    EXPECT_EQ(runCli({"template", ifo}).status, 2);
    const auto bad = runCli({"template", ifo, dir.file("x/t.txt")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "navtab-cli: could not write " + dir.file("x/t.txt") + "\n");
}

}  // namespace
}  // namespace navtab::test
