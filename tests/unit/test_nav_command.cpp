// Navigation command decoding: every command group and operand form, the register names, the
// commands dvdauthor compiled into the sample disc, and `navtab-cli decode`.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/ifo_classes.h"
#include "navcmd/nav_command.h"
#include "unit/model_support.h"

namespace navtab {
namespace {

using Command = std::array<std::uint8_t, kNavCommandSize>;

// "71 00 00 0F 00 02 00 00" as command bytes.
std::string decodeHex(const std::string& hex) {
    Command c{};
    for (std::size_t i = 0; i < c.size(); ++i)
        c[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(3 * i, 2), nullptr, 16));
    return DecodeNavCommand(c.data());
}

TEST(NavRegisterName, GeneralSystemAndInvalidCodes) {
    const std::vector<std::pair<int, std::string>> cases = {
        {15, "GPreg<15>"},
        {16, "invalid-GPreg<16>"},
        {0x80, "SPreg<preferred menu language>"},
        {0x97, "SPreg<reserved for extended playback mode>"},
        {0x98, "invalid-SPreg<152>"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(NavRegisterName(static_cast<std::uint8_t>(code)), text) << code;
}

// One case for each command form and operand field of every group.
TEST(DecodeNavCommand, EveryGroupAndOperandForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"00 01 00 00 00 00 00 07", "Goto line# 7"},
        {"00 03 00 00 00 00 25 09", "SetTmpPML lvl 5, line# 9"},
        {"00 04 00 00 00 00 00 00", "invalid command"},
        {"00 A1 00 03 00 02 00 00", "If GPreg<3> == (cmp-val)<2> then Goto line# 0"},
        {"00 32 00 04 00 83 00 00", "If GPreg<4> != SPreg<angle number (AGLN)> then Break"},
        {"30 02 00 00 00 03 00 00", "(JumpTT) Jump to Title: 3"},
        {"30 05 FD 02 00 04 00 00", "(JumpVTS_PTT) Jumpt to Title(ttn): 4 Chapter(pttn): 258"},
        {"30 06 00 00 00 42 00 00", "(JumpSS VMGM) Jump to VMG title-menu"},
        {"30 06 00 02 03 87 00 00",
         "(JumpSS VTSM) Jump to TitleSet(vts): 3, Title(ttn): 2, chapter-menu"},
        {"30 06 01 02 00 C0 00 00", "(JumpSS VMGM) Jump to VMG PGC: 258"},
        {"30 08 00 00 02 00 00 00", "(CallSS FP) Call First-Play domain PGC [Resume Cell: 2]"},
        {"30 08 00 00 07 86 00 00", "(CallSS VTSM) Call TitleSet angle-menu [Resume Cell: 7]"},
        {"30 08 12 34 00 C0 00 00", "(CallSS VMGM) Call VMG PGC: 4660"},
        {"30 04 00 00 00 00 00 00", "invalid command"},
        {"30 23 00 00 00 02 05 86",
         "If GPreg<5> == SPreg<PGC number (TT_PGCN)> then (JumpVTS_TT) Jump to Title: 2"},
        {"30 D2 00 00 00 01 02 03", "If GPreg<2> > GPreg<3> then (JumpTT) Jump to Title: 1"},
        {"20 01 00 00 00 00 00 0D", "(Link subset) LinkTailPGC"},
        {"20 01 00 00 00 00 00 04", "(Link subset) invalid"},
        {"20 04 00 00 00 00 81 00", "(LinkPGCN) Link PGC 33024"},
        {"20 05 00 00 00 00 05 02", "(LinkPTTN) Link Chapter 258, [button=1]"},
        {"20 07 00 00 00 00 FC FF", "(LinkCN) Link Cell 255, [button=63]"},
        {"20 02 00 00 00 00 00 00", "invalid link command"},
        {"20 64 00 0F 00 8D 00 01",
         "If GPreg<15> <= SPreg<parental level (PLT)> then (LinkPGCN) Link PGC 1"},
        {"51 00 00 80 C0 00 00 00", "(SetSTN) Set Audio Stream Nr: 0"},
        {"51 00 00 00 C1 00 00 00", "(SetSTN) Set Subpicture Stream Nr: 65"},
        {"51 00 00 00 00 0F 00 00", "(SetSTN) Set ?(1) Stream Nr: 7"},
        {"52 00 00 3C 00 05 00 00", "(SetNVTMR) Set NVTMR = (set-val) 60, pgcn 5"},
        {"53 00 00 01 00 25 00 00",
         "(SetGPRMMD) Set GPRMMD<invalid-GPreg<37>> = (set-val) 1, [COUNTER](mf=0)"},
        {"54 00 00 00 01 00 00 00", "(SetAMXMD) Set AMXMD = (set-val) 256"},
        {"56 00 00 00 08 00 00 00", "(SetHL_BTNN) Set Button Nr: (set-val) 2048"},
        {"41 00 00 00 00 93 00 00", "(SetSTN) Set Angle Stream Nr: invalid-GPreg<19>"},
        {"42 00 00 02 00 07 00 00", "(SetNVTMR) Set GPreg<2>, pgcn 7"},
        {"43 00 00 04 00 85 00 00",
         "(SetGPRMMD) Set GPRMMD = GPreg<5> = GPreg<4>, [COUNTER](mf=1)"},
        {"46 00 00 00 00 01 00 00", "(SetHL_BTNN) Set Button Nr: GPreg<1>"},
        {"45 00 00 00 00 00 00 00", "invalid SetSystem"},
        {"60 00 00 00 00 00 00 00", "NOP"},
        {"7C 00 00 00 00 00 00 00", "invalid Set"},
        {"71 00 00 00 FF FF 00 00", "Set GPreg<0> mov (set-val)<65535>"},
        {"61 00 00 00 00 81 00 00", "Set GPreg<0> mov SPreg<audio stream number (ASTN)>"},
        {"71 01 00 0F 00 01 00 0D", "Set GPreg<15> mov (set-val)<1>(Link subset) LinkTailPGC"},
        {"56 30 00 00 04 00 01 02",
         "If GPreg<1> != GPreg<2> then (SetHL_BTNN) Set Button Nr: (set-val) 1024"},
        {"56 34 00 00 04 00 01 02",
         "(SetHL_BTNN) Set Button Nr: (set-val) 1024 illegal CMP&LNK conflict"},
        {"46 05 00 00 00 01 09 03",
         "(SetHL_BTNN) Set Button Nr: GPreg<1>(LinkPTTN) Link Chapter 259, [button=2]"},
        {"50 02 00 00 00 00 00 00", "invalid commandinvalid link"},
        {"71 06 00 02 00 05 04 03",
         "Set GPreg<2> mov (set-val)<5>(LinkPGN) Link Program 3, [button=1]"},
        {"71 D0 01 06 00 07 00 02",
         "If GPreg<1> > (cmp-val)<2> then Set GPreg<6> mov (set-val)<7>"},
        {"61 60 8A 06 00 07 00 03",
         "If SPreg<PGC jump for nav timer (NV_PGCN)> <= GPreg<3> then Set GPreg<6> mov GPreg<7>"},
        {"81 03 00 05 00 00 00 00", "Set GPreg<3> mov GPreg<5>"},
        {"D3 02 00 01 00 00 04 0A",
         "Set GPreg<2> add (set-val)<1> , Link LinkNextPGC, [button=(1)]"},
        {"C0 0F 00 00 00 00 FC E0", "NOP"},
        {"93 A2 00 01 00 05 00 00", "Set GPreg<2> add (set-val)<1>, Cmp GPreg<2> == (cmp-val)<5>"},
        {"B3 A2 00 01 00 05 00 00", "Cmp G2 == (cmp-val)<5>, Set G2 add (set-val)<1>"},
        {"C4 52 00 03 00 84 08 0D",
         "CmpSet GPreg<2> > SPreg<title number in volume (TTN)>, Set GPreg<2> sub GPreg<3> , Link "
         "LinkTailPGC, [button=(2)]"},
        {"A0 E5 00 00 00 09 00 10", "Cmp GPreg<5> <= (cmp-val)<9> , Link RSM, [button=(0)]"},
        {"80 15 00 00 00 09 00 00", "Cmp GPreg<5> & GPreg<9>"},
        {"30 06 00 00 00 48 00 00", "(JumpSS VMGM) Jump to VMG invalid-menu<8>-menu"},
        {"9C 03 00 01 00 00 00 00", "Set GPreg<3> invalid-op<12> (set-val)<1>"},
        {"E0 FF 01 02 03 04 05 06", "Unknown command"},
    };
    for (const auto& [hex, text] : cases) EXPECT_EQ(decodeHex(hex), text) << hex;
    const char* ops[] = {"mov", "swp", "add", "sub", "mul", "div",
                         "mod", "rnd", "and", "or",  "xor"};
    for (int op = 1; op <= 11; ++op) {
        const Command c = {static_cast<std::uint8_t>(0x70 + op), 0, 0, 0xF3, 0, 3, 0, 0};
        EXPECT_EQ(DecodeNavCommand(c.data()),
                  std::string("Set GPreg<3> ") + ops[op - 1] + " (set-val)<3>");
    }
}

TEST(DecodeNavCommand, EveryEncodingGivesAFinishedLine) {
    for (int b0 = 0; b0 < 256; ++b0)
        for (int b1 = 0; b1 < 256; ++b1)
            for (std::uint8_t rest : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
                Command c;
                c.fill(rest);
                c[0] = static_cast<std::uint8_t>(b0);
                c[1] = static_cast<std::uint8_t>(b1);
                const std::string text = DecodeNavCommand(c.data());
                ASSERT_FALSE(text.empty()) << b0 << " " << b1;
                ASSERT_EQ(text.find_first_of("%\n"), std::string::npos) << text;
                if (b0 >= 0xE0) {
                    ASSERT_EQ(text, "Unknown command");
                }
            }
}

// The pre, post and cell commands of a program chain, decoded.
using PgcTexts = std::array<std::vector<std::string>, 3>;

PgcTexts decoded(const CIfoPgc& pgc) {
    PgcTexts texts;
    for (std::size_t i = 0; i < pgc.commands.size(); ++i) {
        const std::size_t group = i < pgc.preCommands                      ? 0
                                  : i < pgc.preCommands + pgc.postCommands ? 1
                                                                           : 2;
        texts[group].push_back(DecodeNavCommand(pgc.commands[i]->bytes.data()));
    }
    return texts;
}

TEST(DecodeNavCommand, CommandsDvdauthorCompiledIntoTheSampleDisc) {
    const IfoHandle vmg = test::loadSample(test::sampleFile("ntsc43", "VIDEO_TS.IFO"));
    const IfoHandle vts1 = test::loadSample(test::sampleFile("ntsc43", "VTS_01_0.IFO"));
    const IfoHandle vts2 = test::loadSample(test::sampleFile("ntsc43", "VTS_02_0.IFO"));
    const CIfoPgciUt menus(vmg->table[ID_VMGM_PGCI_UT]);
    const CIfoPgcit titles1(vts1->table[ID_VTS_PGCITI]), titles2(vts2->table[ID_VTS_PGCITI]);
    const std::string callPgc1 = "(CallSS VMGM) Call VMG PGC: 1 [Resume Cell: 1]";
    const std::pair<PgcTexts, PgcTexts> cases[] = {
        {decoded(*CIfoMat(vmg->table[ID_MAT]).firstPlay),
         {{{"Set GPreg<0> mov (set-val)<1>", "Set GPreg<1> mov (set-val)<3>",
            "(JumpSS VMGM) Jump to VMG PGC: 1"}}}},
        {decoded(*menus.units[0]->srps[0]->pgc),
         {{{"Set GPreg<2> mov GPreg<1>", "Set GPreg<2> mul (set-val)<4>",
            "If GPreg<0> != (cmp-val)<2> then Goto line# 6",
            "(SetHL_BTNN) Set Button Nr: (set-val) 2048", "Goto line# 7",
            "(SetHL_BTNN) Set Button Nr: (set-val) 1024", "NOP"},
           {"Set GPreg<14> mov GPreg<15>", "Set GPreg<15> mov (set-val)<0>",
            "If GPreg<14> == (cmp-val)<1> then Goto line# 6",
            "If GPreg<14> == (cmp-val)<2> then Goto line# 8", "(LinkCN) Link Cell 1, [button=0]",
            "Set GPreg<0> mov (set-val)<1>", "(JumpTT) Jump to Title: 1",
            "Set GPreg<0> mov (set-val)<2>", "(JumpTT) Jump to Title: 2"},
           {}}}},
        {decoded(*titles1.srps[0]->pgc),
         {{{"Set GPreg<5> mov (set-val)<0>", "If GPreg<0> != (cmp-val)<1> then Goto line# 5",
            "(SetSTN) Set Audio Stream Nr: 0", "Goto line# 6", "(SetSTN) Set Audio Stream Nr: 1",
            "NOP"},
           {"Set GPreg<3> add (set-val)<1>", "If GPreg<3> < (cmp-val)<2> then Goto line# 4",
            callPgc1, "(JumpVTS_TT) Jump to Title: 2"},
           {"Set GPreg<5> add (set-val)<1>",
            "If GPreg<1> > (cmp-val)<2> then Set GPreg<6> mov (set-val)<7>"}}}},
        {decoded(*titles2.srps[0]->pgc),
         {{{"Set GPreg<9> mov (set-val)<100>", "Set GPreg<9> div (set-val)<4>",
            "Set GPreg<10> mov GPreg<9>", "Set GPreg<10> mod (set-val)<7>"},
           {callPgc1},
           {}}}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

TEST(DecodeCli, PrintsOneLinePerCommandAndRefusesMalformedArguments) {
    auto r = test::runCli(
        {"decode", "71 00 00 0F 00 02 00 00", "3002000000030000", "20a4 0003 0002 0004"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Set GPreg<15> mov (set-val)<2>\n(JumpTT) Jump to Title: 3\n"
              "If GPreg<3> == (cmp-val)<2> then (LinkPGCN) Link PGC 4\n");
    EXPECT_EQ(r.err, "");
    const std::vector<std::vector<std::string>> cases = {
        {"decode"},
        {"decode", "710000"},
        {"decode", "710000000001000G"},
        {"decode", "3002000000030000", "0x3002000000030000"},
    };
    for (const auto& args : cases) {
        const auto bad = test::runCli(args);
        EXPECT_EQ(bad.status, 2) << args.back();
        EXPECT_EQ(bad.out, "") << args.back();
        EXPECT_EQ(bad.err.rfind("navtab-cli: ", 0), 0u) << bad.err;
        EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
    }
}

}  // namespace
}  // namespace navtab
