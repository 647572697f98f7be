// The music command interpreter and the time-keeping stand-in for the sequencer.
#include "platform/audio/mci.h"

#include <cstring>
#include <vector>

#include "platform/audio/midi_file.h"
#include "platform/core/platform.h"

namespace {

bool SameWord(const std::string& word, const char* keyword) {
    if (word.size() != std::strlen(keyword)) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != keyword[i]) return false;
    }
    return true;
}

bool Decimal(const std::string& word, uint64_t* out) {
    if (word.empty() || word.size() > 18) return false;
    uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    *out = value;
    return true;
}

bool SameAlias(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool ParseMciCommand(const char* text, MciCommand* out) {
    if (text == nullptr) return false;
    // Words are separated by runs of blanks; the game sends some commands with two.
    std::vector<std::string> words;
    for (const char* p = text; *p != '\0';) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        const char* start = p;
        while (*p != '\0' && *p != ' ') ++p;
        words.emplace_back(start, p);
    }
    *out = MciCommand{};
    size_t n = words.size();
    if (n == 0) return false;
    const std::string& verb = words[0];
    if (SameWord(verb, "open")) {
        if (n != 6 || !SameWord(words[2], "alias") || !SameWord(words[4], "type") ||
            !SameWord(words[5], "sequencer")) {
            return false;
        }
        out->verb = MciVerb::OPEN;
        out->file = words[1];
        out->alias = words[3];
        return true;
    }
    if (SameWord(verb, "play")) {
        out->verb = MciVerb::PLAY;
        if (n == 2) {
            out->alias = words[1];
            return true;
        }
        if (n == 4 && SameWord(words[2], "from") && Decimal(words[3], &out->from)) {
            out->alias = words[1];
            out->hasFrom = true;
            out->fromStart = out->from == 0;
            return true;
        }
        return false;
    }
    if (n == 2 && SameWord(verb, "stop")) {
        out->verb = MciVerb::STOP;
        out->alias = words[1];
        return true;
    }
    if (n == 2 && SameWord(verb, "close")) {
        out->verb = MciVerb::CLOSE;
        out->alias = words[1];
        return true;
    }
    if (n == 3 && SameWord(verb, "status") && SameWord(words[2], "mode")) {
        out->verb = MciVerb::STATUS_MODE;
        out->alias = words[1];
        return true;
    }
    return false;
}

uint32_t MciDevice::Send(const char* command, std::string* reply) {
    reply->clear();
    MciCommand parsed;
    if (!ParseMciCommand(command, &parsed)) return MCI_ERR_SYNTAX;
    return Run(parsed, reply);
}

void MciDevice::ReplaceOutput(std::unique_ptr<MusicOutput> output) {
    // A piece that ran out on the old output stays at its end: only "from 0" plays it again.
    if (playing_ && output_->Ended()) {
        playing_ = false;
        atEnd_ = true;
    }
    if (open_) output_->Unload();
    output_ = std::move(output);
    if (!open_) return;
    std::string error;
    if (!output_->Load(file_, &error)) {
        // The piece cannot be had there: it counts as played to its end.
        playing_ = paused_ = false;
        atEnd_ = true;
        return;
    }
    if (playing_) output_->Start();
    // A piece held part-way is held at its beginning: a plain "play" starts it.
    if (paused_) {
        paused_ = false;
        atEnd_ = false;
    }
}

uint32_t MciDevice::Run(const MciCommand& command, std::string* reply) {
    if (command.verb == MciVerb::OPEN) {
        if (open_) return MCI_ERR_ALIAS_TAKEN;
        std::string error;
        if (!output_->Load(command.file, &error)) {
            ReportFileProblem(command.file.c_str(), error + "; this music stays silent");
            return MCI_ERR_FILE;
        }
        if (!error.empty()) ReportFileProblem(command.file.c_str(), error);
        open_ = true;
        alias_ = command.alias;
        file_ = command.file;
        playing_ = paused_ = atEnd_ = false;
        return MCI_OK;
    }
    if (!open_ || !SameAlias(command.alias, alias_)) return MCI_ERR_NOT_OPEN;

    // A piece that has run out is noticed whenever the device is asked anything.
    if (playing_ && output_->Ended()) {
        playing_ = false;
        atEnd_ = true;
    }
    switch (command.verb) {
    case MciVerb::PLAY:
        if (command.hasFrom && !command.fromStart) return MCI_ERR_UNSUPPORTED;
        if (command.fromStart) {
            output_->Start();
        } else if (playing_) {
            return MCI_OK;
        } else if (paused_) {
            output_->Resume();
        } else if (atEnd_) {
            return MCI_OK;  // played to its end: only "from 0" plays it again
        } else {
            output_->Start();
        }
        playing_ = true;
        paused_ = atEnd_ = false;
        return MCI_OK;
    case MciVerb::STOP:
        if (playing_) {
            output_->Pause();
            playing_ = false;
            paused_ = true;
        }
        return MCI_OK;
    case MciVerb::CLOSE:
        output_->Unload();
        open_ = false;
        alias_.clear();
        playing_ = paused_ = atEnd_ = false;
        return MCI_OK;
    case MciVerb::STATUS_MODE: *reply = playing_ ? "playing" : "stopped"; return MCI_OK;
    case MciVerb::OPEN: break;
    }
    return MCI_ERR_SYNTAX;
}

bool SimulatedMusic::Load(const std::string& gamePath, std::string* error) {
    MidiFileInfo info;
    if (!ReadMidiFileAt(HostPath(gamePath.c_str()), &info, error)) return false;
    if (info.truncated) *error = MIDI_CUT_SHORT;
    lengthMs_ = info.lengthMs;
    running_ = false;
    heldAt_ = 0;
    return true;
}

uint32_t SimulatedMusic::Position() const { return running_ ? clock_() - startedAt_ : heldAt_; }

void SimulatedMusic::Start() {
    startedAt_ = clock_();
    running_ = true;
}

void SimulatedMusic::Pause() {
    heldAt_ = Position();
    running_ = false;
}

void SimulatedMusic::Resume() {
    startedAt_ = clock_() - heldAt_;
    running_ = true;
}

bool SimulatedMusic::Ended() { return Position() >= lengthMs_; }

void SimulatedMusic::Unload() {
    running_ = false;
    heldAt_ = 0;
    lengthMs_ = 0;
}
