// The WAV reader against well-formed and damaged files built in memory.
#include <gtest/gtest.h>
#include <stdio.h>

#include <cstdio>

#include "media/sound.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

struct WaveCase {
    const char* name;
    Bytes file;
    bool opens;
    uint32_t dataBytes = 0;  // sample bytes the reader offers
    bool cutShort = false;
    uint16_t formatTag = 1;
    size_t extraBytes = 0;
};

std::FILE* MemoryFile(Bytes& bytes) {
    // fmemopen refuses a zero-length buffer; an empty file is one byte we never let it read.
    if (bytes.empty()) return fmemopen(nullptr, 1, "w+b");
    return fmemopen(bytes.data(), bytes.size(), "rb");
}

Bytes Fmt16() { return FmtBody(1, 2, 44100, 16); }

std::vector<WaveCase> Cases() {
    Bytes samples = Samples(400);
    Bytes fmt18 = Fmt16();
    Put16(fmt18, 0);
    Bytes fmt20 = fmt18;
    Put16(fmt20, 0xBEEF);
    Bytes adpcm = FmtBody(2, 1, 22050, 4);
    Put16(adpcm, 4);
    adpcm.insert(adpcm.end(), {1, 2, 3, 4});
    Bytes adpcmShortExtra = FmtBody(2, 1, 22050, 4);
    Put16(adpcmShortExtra, 40);
    Bytes adpcmNoCount = FmtBody(2, 1, 22050, 4);
    Bytes fmt14 = Fmt16();
    fmt14.resize(14);
    Bytes odd = Samples(5);

    Bytes truncatedData = PcmWave(samples);
    truncatedData.resize(truncatedData.size() - 100);
    Bytes fmtCut = Riff({Chunk("fmt ", Fmt16())});
    fmtCut.resize(fmtCut.size() - 6);

    return {
        {"PlainPcm", PcmWave(samples), true, 400},
        {"FmtLongerThan16", Riff({Chunk("fmt ", fmt20), Chunk("data", samples)}), true, 400},
        {"PcmWithZeroExtraSize", Riff({Chunk("fmt ", fmt18), Chunk("data", samples)}), true, 400},
        {"NonPcmKeepsExtra", Riff({Chunk("fmt ", adpcm), Chunk("data", samples)}), true, 400, false,
         2, 4},
        {"ChunksBeforeAndBetweenAreSkipped",
         Riff({Chunk("LIST", Samples(7)), Chunk("fmt ", Fmt16()), Chunk("fact", Samples(4)),
               Chunk("data", samples)}),
         true, 400},
        {"OddChunkWithPadByte",
         Riff({Chunk("fmt ", Fmt16()), Chunk("junk", Samples(3)), Chunk("data", samples)}), true,
         400},
        {"OddDataChunk", Riff({Chunk("fmt ", Fmt16()), Chunk("data", odd)}), true, 5},
        {"RiffSizePastEnd", Riff({Chunk("fmt ", Fmt16()), Chunk("data", samples)}, 0xFFFFFFFF),
         true, 400},
        {"DataSizeNear4G", Riff({Chunk("fmt ", Fmt16()), Chunk("data", samples, 0xFFFFFFF0)}), true,
         400, true},
        {"TruncatedSampleData", truncatedData, true, 300, true},
        {"ChunkSizeNear4GBeforeData",
         Riff({Chunk("fmt ", Fmt16()), Chunk("junk", Samples(4), 0xFFFFFFFE),
               Chunk("data", samples)}),
         false},
        {"MissingFmt", Riff({Chunk("data", samples)}), false},
        {"MissingData", Riff({Chunk("fmt ", Fmt16())}), false},
        {"FmtShorterThan16", Riff({Chunk("fmt ", fmt14), Chunk("data", samples)}), false},
        {"FmtClaimsMoreThanFile", fmtCut, false},
        {"ExtraBytesBeyondFmt", Riff({Chunk("fmt ", adpcmShortExtra), Chunk("data", samples)}),
         false},
        {"NonPcmWithoutExtraCount", Riff({Chunk("fmt ", adpcmNoCount), Chunk("data", samples)}),
         false},
        {"NotRiff", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, false},
        {"RiffButNotWave", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, false},
        {"HeaderOnly", Bytes{'R', 'I', 'F', 'F'}, false},
        {"EmptyFile", Bytes{}, false},
    };
}

class WaveReaderCases : public ::testing::TestWithParam<WaveCase> {};

TEST_P(WaveReaderCases, OpensOrFailsAndNeverReadsPastTheFile) {
    WaveCase c = GetParam();
    WaveReader reader;
    bool opened = reader.OpenFile(MemoryFile(c.file));
    ASSERT_EQ(opened, c.opens) << reader.Error();
    if (!opened) {
        EXPECT_FALSE(reader.Error().empty());
        return;
    }
    EXPECT_EQ(reader.Format().formatTag, c.formatTag);
    EXPECT_EQ(reader.Format().extra.size(), c.extraBytes);
    EXPECT_EQ(reader.DataLeft(), c.dataBytes);
    EXPECT_EQ(reader.DataCutShort(), c.cutShort);
    Bytes got(c.dataBytes + 16, 0xAA);
    EXPECT_EQ(reader.Read(static_cast<uint32_t>(got.size()), got.data()),
              static_cast<int64_t>(c.dataBytes));
    EXPECT_EQ(reader.DataLeft(), 0u);
    EXPECT_EQ(got[c.dataBytes], 0xAA) << "wrote past the data it reported";
}

INSTANTIATE_TEST_SUITE_P(Files, WaveReaderCases, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WaveReader, ReadsSampleBytesInPiecesAndResetStartsOver) {
    Bytes samples = Samples(300, 9);
    Bytes file = Riff({Chunk("LIST", Samples(3)), Chunk("fmt ", FmtBody(1, 1, 22050, 8)),
                       Chunk("data", samples)});
    WaveReader reader;
    ASSERT_TRUE(reader.OpenFile(MemoryFile(file)));
    EXPECT_EQ(reader.Format().channels, 1);
    EXPECT_EQ(reader.Format().samplesPerSec, 22050u);
    EXPECT_EQ(reader.Format().bitsPerSample, 8);
    Bytes got(300);
    EXPECT_EQ(reader.Read(100, got.data()), 100);
    EXPECT_EQ(reader.Read(1000, got.data() + 100), 200);
    EXPECT_EQ(reader.Read(10, got.data()), 0);
    EXPECT_EQ(got, samples);
    ASSERT_TRUE(reader.Reset());
    Bytes again(300);
    EXPECT_EQ(reader.Read(300, again.data()), 300);
    EXPECT_EQ(again, samples);
}

TEST(WaveReader, ReopeningDropsTheOldFormat) {
    Bytes adpcm = FmtBody(2, 1, 22050, 4);
    Put16(adpcm, 2);
    adpcm.insert(adpcm.end(), {7, 7});
    Bytes first = Riff({Chunk("fmt ", adpcm), Chunk("data", Samples(8))});
    Bytes second = PcmWave(Samples(8));
    WaveReader reader;
    ASSERT_TRUE(reader.OpenFile(MemoryFile(first)));
    EXPECT_EQ(reader.Format().extra.size(), 2u);
    ASSERT_TRUE(reader.OpenFile(MemoryFile(second)));
    EXPECT_EQ(reader.Format().formatTag, 1);
    EXPECT_TRUE(reader.Format().extra.empty());
    EXPECT_FALSE(reader.Open("/nonexistent/kelmorav/none.wav"));
    EXPECT_EQ(reader.Read(4, second.data()), -1);
}

}  // namespace
