#include "tests/media/core/ScriptedComponent.h"

#include "platform/mediaplayer/ClockText.h"

namespace media::test {

using namespace mediaplayer;

bool ScriptedComponent::Answers(const char* call) const {
    calls_.emplace_back(call);
    return answering_;
}

ScriptedComponent::Media ScriptedComponent::Current() const {
    const auto found = media.find(url_);
    return found == media.end() ? Media{} : found->second;
}

void ScriptedComponent::Start() {
    const Media script = Current();
    ++starts_;
    position = 0;
    state_ = Transitioning;
    openingLeft_ = openingReads;
    if (script.neverSounds)
        outcome_ = Transitioning;
    else if (failed_[url_] < script.failingStarts) {
        ++failed_[url_];
        outcome_ = Ready;
    } else
        outcome_ = Playing;
}

void ScriptedComponent::EndOfMedia() {
    position = 0;
    if (armed_.empty()) {
        state_ = Stopped;
        return;
    }
    url_ = armed_;
    armed_.clear();
    ++starts_;
    ++handOvers_;
    state_ = outcome_ = Playing;
}

void ScriptedComponent::ArmNext(const std::u16string& url) {
    if (Answers("ArmNext")) armed_ = url;
}

unsigned ScriptedComponent::HandOvers() const {
    Answers("HandOvers");
    return handOvers_;
}

void ScriptedComponent::setURL(const std::u16string& url) {
    if (!Answers("setURL")) return;
    url_ = url;
    armed_.clear();
    if (url.empty())
        state_ = Undefined;
    else
        Start();
}

std::u16string ScriptedComponent::URL() const {
    Answers("URL");
    return url_;
}

void ScriptedComponent::close() {
    if (!Answers("close")) return;
    url_.clear();
    armed_.clear();
    state_ = Undefined;
}

int ScriptedComponent::playState() {
    if (Answers("playState") && state_ == Transitioning) {
        if (openingLeft_ > 0)
            --openingLeft_;
        else
            state_ = outcome_;
    }
    return state_;
}

unsigned ScriptedComponent::StartNumber() const {
    Answers("StartNumber");
    return starts_;
}

bool ScriptedComponent::OutputIsSilent() const {
    Answers("OutputIsSilent");
    return silent;
}

void ScriptedComponent::play() {
    if (!Answers("play") || url_.empty()) return;
    if (state_ == Paused)
        state_ = Playing;
    else if (state_ != Playing && state_ != Transitioning)
        Start();
}

void ScriptedComponent::pause() {
    if (Answers("pause") && (state_ == Playing || state_ == Transitioning)) state_ = Paused;
}

void ScriptedComponent::stop() {
    if (!Answers("stop") || url_.empty()) return;
    armed_.clear();
    state_ = Stopped;
    position = 0;
}

double ScriptedComponent::currentPosition() const {
    Answers("currentPosition");
    return position;
}

std::u16string ScriptedComponent::currentPositionString() const {
    Answers("currentPositionString");
    return state_ == Undefined || state_ == Stopped || state_ == Ready ? std::u16string() : FormatClock(position);
}

std::u16string ScriptedComponent::Title() const {
    const Media script = Current();
    return script.title.empty() ? url_ : script.title;
}

std::u16string ScriptedComponent::DurationText() const {
    const double seconds = Current().seconds;
    return seconds > 0 ? FormatClock(seconds) : u"00:00";
}

std::u16string ScriptedComponent::name() const {
    Answers("name");
    return Title();
}

double ScriptedComponent::duration() const {
    Answers("duration");
    return Current().seconds;
}

std::u16string ScriptedComponent::durationString() const {
    Answers("durationString");
    return DurationText();
}

std::u16string ScriptedComponent::getItemInfo(const std::u16string& attribute) const {
    Answers("getItemInfo");
    if (attribute == u"title") return Title();
    return attribute == u"Author" ? Current().author : std::u16string();
}

std::u16string ScriptedComponent::getItemInfoByAtom(int atom) const {
    Answers("getItemInfoByAtom");
    return atom == 7 ? DurationText() : std::u16string();
}

int ScriptedComponent::bufferingProgress() const {
    Answers("bufferingProgress");
    return buffering;
}

}  // namespace media::test
