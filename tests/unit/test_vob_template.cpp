// The frame-type template: picture numbering on hand-made streams, the file it writes (and does
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

TEST(FrameTemplate, ClosedGopsOfTwelveListTheirIPictures) {
    std::vector<Sector> s = {navPack({})};
    for (int gop = 0; gop < 3; ++gop) {
        s.push_back(fullVideoSector(concat({sequenceHeader(), pictureHeader(kIPicture)})));
        for (int i = 1; i < 12; ++i)
            s.push_back(fullVideoSector(pictureHeader(i % 3 == 0 ? kPPicture : kBPicture)));
        s.push_back(privateSector(0x80, 1));
    }
    EXPECT_EQ(templateOf(s, {true, false, false}), "0,I\n12,I\n24,I\n");
    EXPECT_EQ(templateOf(s).substr(0, 24), "0,I\n1,B\n2,B\n3,P\n4,B\n5,B\n");
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

TEST(FrameTemplate, CommandAsksForTheFileAndTheTypes) {
    TempDir dir;
    IfoDocument doc;
    doc.path = smallTitleSet(dir);
    FakeDialogs dialogs;
    dialogs.types = {false, false, true};
    dialogs.templateFile = dir.file("frames");  // no extension: .txt is added
    RecordingInteraction ui;
    OnCreateTemplate(&doc, dialogs, ui);
    EXPECT_EQ(dialogs.fileAsked,
              "TmpgTemplate.txt | Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(text(dir.file("frames.txt")), "1,B\n4,B\n");
    EXPECT_EQ(dialogs.texts.front(), "Processing source VOB VTS_01_1.VOB");

    // Cancelling either dialog writes nothing; without a file nothing is asked.
    dialogs.answer = false;
    dialogs.templateFile = dir.file("other.txt");
    OnCreateTemplate(&doc, dialogs, ui);
    dialogs.templateFile.clear();
    dialogs.answer = true;
    OnCreateTemplate(&doc, dialogs, ui);
    EXPECT_FALSE(std::filesystem::exists(dir.file("other.txt")));
    dialogs.fileAsked.clear();
    OnCreateTemplate(nullptr, dialogs, ui);
    EXPECT_TRUE(dialogs.fileAsked.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(FrameTemplateCli, WritesTheTemplateAndRejectsBadTypes) {
    TempDir dir;
    const auto ok = runCli(
        {"template", sampleFile("pal169", "VTS_01_0.IFO"), dir.file("t.txt"), "--types", "i"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(text(dir.file("t.txt")).substr(0, 10), "0,I\n10,I\n2");
    for (const char* types : {"--types=X", "--types="})
        EXPECT_EQ(
            runCli({"template", sampleFile("pal169", "VTS_01_0.IFO"), dir.file("t.txt"), types})
                .status,
            2)
            << types;
    EXPECT_EQ(runCli({"template", sampleFile("pal169", "VTS_01_0.IFO")}).status, 2);
    const auto bad =
        runCli({"template", sampleFile("pal169", "VTS_01_0.IFO"), dir.file("x/t.txt")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "navtab-cli: could not write " + dir.file("x/t.txt") + "\n");
}

}  // namespace
}  // namespace navtab::test
