// Reading and writing session recordings (see recording.h and the README for the format).
#include "platform/session/recording.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace {

constexpr const char* MAGIC = "kelmorav-recording";
constexpr size_t MAX_WORDS = 1024;
constexpr size_t MAX_VERSION = 64;
constexpr size_t MAX_SETTINGS = 512;

constexpr uint64_t FNV_OFFSET = 0xcbf29ce484222325ull;
constexpr uint64_t FNV_PRIME = 0x100000001b3ull;

uint64_t Fnv(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * FNV_PRIME;
    return hash;
}

uint64_t SumLine(uint64_t sum, const std::string& line) {
    sum = Fnv(sum, line.data(), line.size());
    return Fnv(sum, "\n", 1);
}

std::string Hex16(uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) out[static_cast<size_t>(i)] = digits[value & 15];
    return out;
}

bool ParseHex16(std::string_view word, uint64_t* out) {
    if (word.size() != 16) return false;
    uint64_t value = 0;
    for (char c : word) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return false;
        value = value << 4 | static_cast<uint64_t>(digit);
    }
    *out = value;
    return true;
}

// Decimal digits only, at most max.
bool ParseUnsigned(std::string_view word, uint64_t max, uint64_t* out) {
    if (word.empty() || word.size() > 19) return false;
    uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > max) return false;
    *out = value;
    return true;
}

bool ParseInt32(std::string_view word, int32_t* out) {
    const bool negative = !word.empty() && word[0] == '-';
    uint64_t magnitude = 0;
    if (!ParseUnsigned(negative ? word.substr(1) : word, negative ? 2147483648ull : 2147483647ull,
                       &magnitude)) {
        return false;
    }
    *out = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                         : static_cast<int64_t>(magnitude));
    return true;
}

bool ParseUint32(std::string_view word, uint32_t* out) {
    uint64_t value = 0;
    if (!ParseUnsigned(word, UINT32_MAX, &value)) return false;
    *out = static_cast<uint32_t>(value);
    return true;
}

// Replies are written as one word: printable ASCII as it is, every other byte and '%' as %XX,
// and the empty reply as "-".
std::string EncodeReply(const std::string& reply) {
    if (reply.empty()) return "-";
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < reply.size(); ++i) {
        const auto c = static_cast<unsigned char>(reply[i]);
        // A lone "-" and a leading 'x' are spelt out: they would read as "empty" and a count.
        const bool spelt = (c == '-' && reply.size() == 1) || (c == 'x' && i == 0);
        if (c > ' ' && c < 0x7F && c != '%' && !spelt) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool DecodeReply(std::string_view word, std::string* out) {
    out->clear();
    if (word == "-") return true;
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%') {
            *out += word[i];
        } else {
            if (i + 2 >= word.size()) return false;
            const int hi = HexDigit(word[i + 1]);
            const int lo = HexDigit(word[i + 2]);
            if (hi < 0 || lo < 0) return false;
            *out += static_cast<char>(hi << 4 | lo);
            i += 2;
        }
        if (out->size() > RECORDING_MAX_REPLY) return false;
    }
    return true;
}

std::string MessageWord(const Message& message) {
    switch (message.type) {
    case MessageType::LButtonDown: return "ld";
    case MessageType::LButtonUp: return "lu";
    case MessageType::LButtonDblClk: return "l2";
    case MessageType::RButtonDown: return "rd";
    case MessageType::RButtonUp: return "ru";
    case MessageType::RButtonDblClk: return "r2";
    case MessageType::Close: return "close";
    case MessageType::KeyDown: return "k+" + std::to_string(message.wparam);
    case MessageType::KeyUp: return "k-" + std::to_string(message.wparam);
    case MessageType::Quit: return "q+" + std::to_string(message.wparam);
    case MessageType::None: break;
    }
    return "none";
}

bool ParseMessageWord(std::string_view word, Message* out) {
    struct Plain {
        const char* word;
        MessageType type;
    };
    static const Plain plain[] = {
        {"ld", MessageType::LButtonDown},   {"lu", MessageType::LButtonUp},
        {"l2", MessageType::LButtonDblClk}, {"rd", MessageType::RButtonDown},
        {"ru", MessageType::RButtonUp},     {"r2", MessageType::RButtonDblClk},
        {"close", MessageType::Close},      {"none", MessageType::None},
    };
    for (const Plain& p : plain) {
        if (word == p.word) {
            *out = Message{p.type, 0};
            return true;
        }
    }
    struct WithValue {
        const char* prefix;
        MessageType type;
    };
    static const WithValue valued[] = {
        {"k+", MessageType::KeyDown}, {"k-", MessageType::KeyUp}, {"q+", MessageType::Quit}};
    for (const WithValue& v : valued) {
        if (word.size() > 2 && word.substr(0, 2) == v.prefix) {
            uint32_t value = 0;
            if (!ParseUint32(word.substr(2), &value)) return false;
            *out = Message{v.type, value};
            return true;
        }
    }
    return false;
}

std::string InputWords(const RecordedInput& input) {
    std::string out;
    for (const Message& m : input.messages) out += " " + MessageWord(m);
    if (input.pointerMoved) {
        out += " @" + std::to_string(input.x) + "," + std::to_string(input.y);
    }
    return out;
}

bool ParsePointerWord(std::string_view word, int* x, int* y) {
    if (word.size() < 4 || word[0] != '@') return false;
    const size_t comma = word.find(',');
    if (comma == std::string_view::npos) return false;
    int32_t px = 0;
    int32_t py = 0;
    if (!ParseInt32(word.substr(1, comma - 1), &px) || !ParseInt32(word.substr(comma + 1), &py)) {
        return false;
    }
    *x = px;
    *y = py;
    return true;
}

std::string RepeatWord(uint32_t repeat) {
    return repeat > 1 ? " x" + std::to_string(repeat) : std::string();
}

std::string AnswerLine(const RecordedAnswer& a) {
    switch (a.kind) {
    case AnswerKind::VOICE_PLAYING: return std::string("v ") + (a.yes ? "1" : "0");
    case AnswerKind::VOICE_STARTS: return std::string("s ") + (a.yes ? "1" : "0");
    case AnswerKind::MUSIC: return "m " + std::to_string(a.result) + " " + EncodeReply(a.reply);
    case AnswerKind::SEARCH_READY: return std::string("c ") + (a.yes ? "1" : "0");
    }
    return "";
}

// One line of a recording being read.
class LineReader {
public:
    LineReader(Recording* out, const std::string& version) : out_(out), version_(version) {}

    // False with *error set when the line is wrong.
    bool Read(int number, const std::vector<std::string_view>& words, std::string* error) {
        line_ = number;
        error_ = error;
        if (out_->ended) return Fail("nothing may follow the end line");
        const std::string_view key = words[0];
        if (number == 1) return Magic(words);
        if (key == "game" || key == "made" || key == "seed" || key == "clock" || key == "data") {
            return HeaderField(words);
        }
        if (key == "settings") return SettingsLine(words);
        if (key == "computer") return ComputerField(words);
        if (!HeaderComplete())
            return Fail("the header lacks its " + std::string(Missing()) + " line");
        if (key == "w") return WaitLine(words);
        if (key == "p") return PollLine(words);
        if (key == "v" || key == "s" || key == "m" || key == "c") return AnswerLineRead(words);
        if (key == "end") return EndLine(words);
        return Fail("unknown line \"" + std::string(key.substr(0, 16)) + "\"");
    }

    // False with *error set when a header line is missing.
    bool Complete(std::string* error) const {
        if (HeaderComplete()) return true;
        *error = "the header lacks its " + std::string(Missing()) + " line";
        return false;
    }

    uint64_t sum = FNV_OFFSET;

private:
    bool Fail(const std::string& why) {
        *error_ = "line " + std::to_string(line_) + ": " + why;
        return false;
    }

    bool Magic(const std::vector<std::string_view>& words) {
        if (words[0] != MAGIC) {
            *error_ = "not a kelmorav recording";
            return false;
        }
        uint64_t format = 0;
        if (words.size() != 2 || !ParseUnsigned(words[1], 1000000, &format)) {
            return Fail("expected: " + std::string(MAGIC) + " FORMAT");
        }
        if (format != RECORDING_FORMAT) {
            *error_ = "a recording of format " + std::to_string(format) +
                      "; this kelmorav reads format " + std::to_string(RECORDING_FORMAT);
            return false;
        }
        return true;
    }

    bool HeaderField(const std::vector<std::string_view>& words) {
        const std::string_view key = words[0];
        if (words.size() != 2) return Fail("expected: " + std::string(key) + " VALUE");
        const std::string_view value = words[1];
        RecordingHeader& h = out_->header;
        if (key == "game") {
            if (seenGame_) return Fail("a second game line");
            seenGame_ = true;
            if (value.size() > MAX_VERSION) return Fail("a version longer than any");
            h.game = value;
            if (h.game != version_) {
                *error_ = "recorded by kelmorav " + h.game + "; this is kelmorav " + version_ +
                          ", which replays only its own recordings";
                return false;
            }
        } else if (key == "made") {
            if (seenMade_) return Fail("a second made line");
            seenMade_ = true;
            if (value != "sdl" && value != "headless") return Fail("made is sdl or headless");
            h.made = value;
        } else if (key == "seed") {
            if (seenSeed_) return Fail("a second seed line");
            seenSeed_ = true;
            if (!ParseUint32(value, &h.seed)) return Fail("a seed from 0 to 4294967295");
        } else if (key == "clock") {
            if (seenClock_) return Fail("a second clock line");
            seenClock_ = true;
            if (!ParseUint32(value, &h.clock)) return Fail("a clock from 0 to 4294967295");
        } else {
            if (seenData_) return Fail("a second data line");
            seenData_ = true;
            uint64_t ignored = 0;
            if (!ParseHex16(value, &ignored)) return Fail("data is 16 hex digits");
            h.data = value;
        }
        return true;
    }

    // The optional settings line: one word the game reads again itself (as untrusted text).
    bool SettingsLine(const std::vector<std::string_view>& words) {
        if (words.size() != 2) return Fail("expected: settings VALUE");
        if (seenSettings_) return Fail("a second settings line");
        seenSettings_ = true;
        if (words[1].size() > MAX_SETTINGS) return Fail("settings longer than any");
        for (const char c : words[1]) {
            if (c <= ' ' || c > '~') return Fail("settings of printable characters");
        }
        out_->header.settings = words[1];
        return true;
    }

    // The computer opponent: "computer SIDES LEVEL", at most once; a session without one has
    // no such line.
    bool ComputerField(const std::vector<std::string_view>& words) {
        if (seenComputer_) return Fail("a second computer line");
        seenComputer_ = true;
        uint64_t level = 0;
        if (words.size() != 3 ||
            (words[1] != "none" && words[1] != "first" && words[1] != "second" &&
             words[1] != "both") ||
            !ParseUnsigned(words[2], 5, &level) || level < 1) {
            return Fail("expected: computer none|first|second|both LEVEL (1 to 5)");
        }
        out_->header.computer = std::string(words[1]) + " " + std::string(words[2]);
        return true;
    }

    bool HeaderComplete() const {
        return seenGame_ && seenMade_ && seenSeed_ && seenClock_ && seenData_;
    }

    const char* Missing() const {
        if (!seenGame_) return "game";
        if (!seenMade_) return "made";
        if (!seenSeed_) return "seed";
        if (!seenClock_) return "clock";
        return "data";
    }

    // A trailing "xN" as the run's count; *last is the index after the words before it.
    bool Repeat(const std::vector<std::string_view>& words, size_t* last, uint32_t* repeat) {
        *repeat = 1;
        *last = words.size();
        const std::string_view tail = words.back();
        if (tail.size() < 2 || tail[0] != 'x') return true;
        uint64_t n = 0;
        if (!ParseUnsigned(tail.substr(1), RECORDING_MAX_REPEAT, &n) || n == 0) {
            return Fail("a count from x1 to x" + std::to_string(RECORDING_MAX_REPEAT));
        }
        *repeat = static_cast<uint32_t>(n);
        *last = words.size() - 1;
        return true;
    }

    bool Input(const std::vector<std::string_view>& words, size_t first, size_t last,
               RecordedInput* input) {
        for (size_t i = first; i < last; ++i) {
            if (!words[i].empty() && words[i][0] == '@') {
                if (input->pointerMoved) return Fail("two pointer positions in one gather");
                if (!ParsePointerWord(words[i], &input->x, &input->y)) {
                    return Fail("a pointer position is @X,Y");
                }
                input->pointerMoved = true;
                continue;
            }
            Message m;
            if (!ParseMessageWord(words[i], &m)) {
                return Fail("unknown input \"" + std::string(words[i].substr(0, 16)) + "\"");
            }
            input->messages.push_back(m);
        }
        return true;
    }

    bool WaitLine(const std::vector<std::string_view>& words) {
        RecordedGather g;
        g.kind = GatherKind::WAIT;
        g.line = line_;
        if (words.size() < 2 || !ParseInt32(words[1], &g.late)) {
            return Fail("expected: w LATE [INPUT...] [xCOUNT]");
        }
        size_t last = 0;
        if (!Repeat(words, &last, &g.repeat)) return false;
        if (!Input(words, 2, last, &g.input)) return false;
        if (g.repeat > 1 && !g.input.Empty()) return Fail("a run of waits brings no input");
        out_->gathers.push_back(std::move(g));
        return true;
    }

    bool PollLine(const std::vector<std::string_view>& words) {
        RecordedGather g;
        g.kind = GatherKind::POLL;
        g.line = line_;
        if (words.size() < 3 || !ParseUint32(words[1], &g.poll) || g.poll == 0) {
            return Fail("expected: p INDEX INPUT...");
        }
        if (!Input(words, 2, words.size(), &g.input)) return false;
        out_->gathers.push_back(std::move(g));
        return true;
    }

    bool AnswerLineRead(const std::vector<std::string_view>& words) {
        RecordedAnswer a;
        a.line = line_;
        size_t last = 0;
        if (!Repeat(words, &last, &a.repeat)) return false;
        if (words[0] == "m") {
            a.kind = AnswerKind::MUSIC;
            if (last != 3 || !ParseUint32(words[1], &a.result) ||
                !DecodeReply(words[2], &a.reply)) {
                return Fail("expected: m RESULT REPLY [xCOUNT]");
            }
        } else {
            a.kind = words[0] == "v"   ? AnswerKind::VOICE_PLAYING
                     : words[0] == "s" ? AnswerKind::VOICE_STARTS
                                       : AnswerKind::SEARCH_READY;
            if (last != 2 || (words[1] != "0" && words[1] != "1")) {
                return Fail("expected: " + std::string(words[0]) + " 0|1 [xCOUNT]");
            }
            a.yes = words[1] == "1";
        }
        out_->answers.push_back(std::move(a));
        return true;
    }

    bool EndLine(const std::vector<std::string_view>& words) {
        uint64_t status = 0;
        uint64_t recordedSum = 0;
        if (words.size() != 4 || !ParseUnsigned(words[1], 255, &status) ||
            !ParseUint32(words[2], &out_->exitClock) || !ParseHex16(words[3], &recordedSum)) {
            return Fail("expected: end STATUS CLOCK SUM");
        }
        if (recordedSum != sum) return Fail("the sum does not match the lines above: damaged");
        out_->ended = true;
        out_->exitStatus = static_cast<int>(status);
        out_->endLine = line_;
        return true;
    }

    Recording* out_;
    const std::string& version_;
    int line_ = 0;
    std::string* error_ = nullptr;
    bool seenGame_ = false;
    bool seenMade_ = false;
    bool seenSeed_ = false;
    bool seenClock_ = false;
    bool seenData_ = false;
    bool seenSettings_ = false;
    bool seenComputer_ = false;
};

bool Printable(std::string_view line) {
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < ' ' && c != '\t' && c != '\r') || u >= 0x7F) return false;
    }
    return true;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size() && words.size() <= MAX_WORDS) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string Joined(const std::vector<std::string_view>& words) {
    std::string out;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0) out += ' ';
        out.append(words[i].data(), words[i].size());
    }
    return out;
}

}  // namespace

bool RecordedInput::operator==(const RecordedInput& other) const {
    if (messages.size() != other.messages.size() || pointerMoved != other.pointerMoved) {
        return false;
    }
    for (size_t i = 0; i < messages.size(); ++i) {
        if (messages[i].type != other.messages[i].type ||
            messages[i].wparam != other.messages[i].wparam) {
            return false;
        }
    }
    return !pointerMoved || (x == other.x && y == other.y);
}

bool RecordedAnswer::SameAs(const RecordedAnswer& other) const {
    if (kind != other.kind) return false;
    if (kind == AnswerKind::MUSIC) return result == other.result && reply == other.reply;
    return yes == other.yes;
}

bool ParseRecording(const std::string& text, const std::string& version, Recording* out,
                    std::string* error) {
    *out = Recording{};
    if (text.size() > RECORDING_MAX_BYTES) {
        *error = "larger than any recording (" + std::to_string(RECORDING_MAX_BYTES >> 20) + " MB)";
        return false;
    }
    LineReader reader(out, version);
    const std::string_view all(text);
    size_t start = 0;
    int number = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view line = all.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.size() > RECORDING_MAX_LINE) {
            *error = "line " + std::to_string(number) + ": longer than any line of a recording";
            return false;
        }
        if (!Printable(line)) {
            *error = number == 1 ? "not a kelmorav recording"
                                 : "line " + std::to_string(number) +
                                       ": a byte that is not printable ASCII";
            return false;
        }
        const std::vector<std::string_view> words = Words(line);
        if (words.size() > MAX_WORDS) {
            *error = "line " + std::to_string(number) + ": more words than any line holds";
            return false;
        }
        if (words.empty() || words[0][0] == '#') {
            if (number == 1) {
                *error = "not a kelmorav recording";
                return false;
            }
            continue;
        }
        if (!reader.Read(number, words, error)) return false;
        if (!out->ended) reader.sum = SumLine(reader.sum, Joined(words));
    }
    out->lineCount = number;
    if (number == 0) {
        *error = "not a kelmorav recording";
        return false;
    }
    return reader.Complete(error);
}

// ---- writing ------------------------------------------------------------------------------

void RecordingWriter::Emit(const std::string& line) {
    if (summing_ && !line.empty() && line[0] != '#') sum_ = SumLine(sum_, line);
    sink_(line);
}

void RecordingWriter::Header(const RecordingHeader& header) {
    summing_ = true;
    sum_ = FNV_OFFSET;
    Emit(std::string(MAGIC) + " " + std::to_string(RECORDING_FORMAT));
    Emit("# A kelmorav session. Replay it with: kelmorav --headless --replay FILE");
    Emit("game " + header.game);
    Emit("made " + header.made);
    Emit("seed " + std::to_string(header.seed));
    Emit("clock " + std::to_string(header.clock));
    Emit("data " + header.data);
    if (!header.settings.empty()) Emit("settings " + header.settings);
    if (!header.computer.empty()) Emit("computer " + header.computer);
}

void RecordingWriter::CloseWaitRun() {
    if (!waitOpen_) return;
    waitOpen_ = false;
    Emit("w " + std::to_string(waitLate_) + RepeatWord(waitCount_));
}

void RecordingWriter::CloseAnswerRun() {
    if (!answerOpen_) return;
    answerOpen_ = false;
    Emit(AnswerLine(answer_) + RepeatWord(answer_.repeat));
}

void RecordingWriter::Wait(int32_t late, const RecordedInput& input, uint32_t repeat) {
    if (!input.Empty()) {
        CloseWaitRun();
        Emit("w " + std::to_string(late) + InputWords(input));
        return;
    }
    while (repeat > 0) {
        if (!waitOpen_ || waitLate_ != late || waitCount_ == RECORDING_MAX_REPEAT) {
            CloseWaitRun();
            waitOpen_ = true;
            waitLate_ = late;
            waitCount_ = 0;
        }
        const uint32_t take = std::min(repeat, RECORDING_MAX_REPEAT - waitCount_);
        waitCount_ += take;
        repeat -= take;
    }
}

void RecordingWriter::Poll(uint32_t index, const RecordedInput& input) {
    if (input.Empty()) return;
    CloseWaitRun();
    Emit("p " + std::to_string(index) + InputWords(input));
}

void RecordingWriter::Answer(const RecordedAnswer& answer) {
    uint32_t repeat = answer.repeat;
    while (repeat > 0) {
        if (!answerOpen_ || !answer_.SameAs(answer) || answer_.repeat == RECORDING_MAX_REPEAT) {
            CloseAnswerRun();
            answerOpen_ = true;
            answer_ = answer;
            answer_.repeat = 0;
        }
        const uint32_t take = std::min(repeat, RECORDING_MAX_REPEAT - answer_.repeat);
        answer_.repeat += take;
        repeat -= take;
    }
}

void RecordingWriter::CloseRuns() {
    CloseWaitRun();
    CloseAnswerRun();
}

void RecordingWriter::End(int status, uint32_t exitClock) {
    CloseRuns();
    summing_ = false;
    Emit("end " + std::to_string(status & 255) + " " + std::to_string(exitClock) + " " +
         Hex16(sum_));
}

std::string RecordingText(const Recording& recording) {
    std::string text;
    RecordingWriter writer([&text](const std::string& line) { text += line + "\n"; });
    writer.Header(recording.header);
    for (const RecordedGather& g : recording.gathers) {
        if (g.kind == GatherKind::WAIT) {
            writer.Wait(g.late, g.input, g.repeat);
        } else {
            writer.Poll(g.poll, g.input);
        }
    }
    for (const RecordedAnswer& a : recording.answers) writer.Answer(a);
    if (recording.ended) {
        writer.End(recording.exitStatus, recording.exitClock);
    } else {
        writer.CloseRuns();
    }
    return text;
}

std::string DataFingerprint(const std::string& dir) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(dir) / "DATA";
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator entry(root, error), end;
    for (; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.empty() || name[0] == '.') {
            if (entry->is_directory(error)) entry.disable_recursion_pending();
            continue;
        }
        if (name == "palet.dat" || !entry->is_regular_file(error)) continue;
        files.push_back(entry->path().lexically_relative(root).generic_string());
    }
    std::sort(files.begin(), files.end());
    uint64_t hash = FNV_OFFSET;
    std::vector<char> buffer(1 << 16);
    for (const std::string& file : files) {
        hash = Fnv(hash, file.c_str(), file.size() + 1);
        std::ifstream in(root / file, std::ios::binary);
        uint64_t size = 0;
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            const auto got = static_cast<size_t>(in.gcount());
            hash = Fnv(hash, buffer.data(), got);
            size += got;
        }
        hash = Fnv(hash, &size, sizeof size);
    }
    return Hex16(hash);
}
