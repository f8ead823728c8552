#include "support/TempWorkDir.h"

#include "engine/Audio.h"

#include <AL/al.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace {

// Writes a sine tone through libsndfile in any format it writes.
void writeTone(const std::filesystem::path& path, double seconds, int channels = 1,
               int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16, int rate = 22050) {
    std::filesystem::create_directories(path.parent_path());
    SF_INFO info{0, rate, channels, format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> samples(frames * channels);
    for (size_t i = 0; i < samples.size(); ++i)  // channel c sounds (c + 1) x 440 Hz
        samples[i] = 0.25f * std::sin(6.2831853f * 440.0f * float(i % channels + 1) *
                                      float(i / channels) / float(rate));
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

void resetAudio() {
    audio::shutdownEngine();
    audio::sounds.clear();
    audio::soundGroups.clear();
    audio::tracks.clear();
    audio::musicVolume = 1.0f;
    audio::musicHandle = 0;
    audio::nextTrack = 0;
}

std::pair<bool, std::string> loadTrackList(const std::string& path) {
    testing::internal::CaptureStdout();
    const bool result = audio::loadTrackList(path);
    return {result, testing::internal::GetCapturedStdout()};
}

}  // namespace

// Every test starts the engine on the null device in a directory of its own test sounds.
class AudioTest : public ::testing::Test {
protected:
    testfs::TempWorkDir dir;

    static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 0); }
    void SetUp() override {
        resetAudio();
        ASSERT_TRUE(audio::startEngine()) << "no audio device (is ALSOFT_DRIVERS=null set?)";
    }
    void TearDown() override { resetAudio(); }

    void tone(const std::string& name, double seconds, int channels = 1) {
        writeTone(dir.path / "assets/audio" / name, seconds, channels);
    }
    std::pair<bool, std::string> loadTracks(const std::string& json) {
        dir.write("music.json", json);
        return loadTrackList("music.json");
    }
    // Stops the current track and lets the music move on; the index of the track it started.
    unsigned nextPlayed() {
        audio::stop(audio::musicHandle);
        EXPECT_TRUE(audio::updateMusic());
        return (audio::nextTrack + audio::tracks.size() - 1) % audio::tracks.size();
    }
};

TEST_F(AudioTest, TrackListWithAMissingFileOrANumberPlaysTheOthersInTurn) {
    tone("one.wav", 5.0);
    tone("three.wav", 5.0);
    const auto [result, output] = loadTracks(R"(["one.wav", 3, "two.wav", "three.wav"])");
    EXPECT_TRUE(result);
    EXPECT_EQ(output,
              "successfully loaded track \"one.wav\"\n"
              "error: all track names must be strings\n"
              "error: unable to load track \"two.wav\"\n"
              "successfully loaded track \"three.wav\"\n");
    EXPECT_EQ(audio::tracks, (std::vector<std::string>{"one.wav", "two.wav", "three.wav"}));
    EXPECT_EQ(audio::sounds.count("two.wav"), 0u);

    ASSERT_TRUE(audio::updateMusic());
    EXPECT_TRUE(audio::isPlaying(audio::musicHandle));
    EXPECT_EQ(audio::nextTrack, 1u);
    const audio::Handle first = audio::musicHandle;
    EXPECT_TRUE(audio::updateMusic()) << "a playing track is left alone";
    EXPECT_EQ(audio::musicHandle, first);
    EXPECT_EQ(nextPlayed(), 2u);
    EXPECT_EQ(nextPlayed(), 0u);
    EXPECT_EQ(nextPlayed(), 2u);
}

TEST_F(AudioTest, TheNextTrackStartsWhenTheCurrentOneEnds) {
    tone("short.wav", 0.05);
    tone("long.wav", 5.0);
    loadTracks(R"(["short.wav", "long.wav"])");
    ASSERT_TRUE(audio::updateMusic());
    const audio::Handle shortVoice = audio::musicHandle;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (audio::isPlaying(shortVoice) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(audio::isPlaying(shortVoice)) << "the null device does not advance";
    ASSERT_TRUE(audio::updateMusic());
    EXPECT_NE(audio::musicHandle, shortVoice);
    EXPECT_EQ(audio::nextTrack, 0u);
}

TEST_F(AudioTest, RefusedOrEmptyTrackListsPlayNothing) {
    const std::pair<const char*, std::string> cases[] = {
        {R"({"track": "one.wav"})", "error: expected an array for track list\n"},
        {"[\"one.wav\"", "error: unable to load track list file \"music.json\"\n"},
        {"[]", ""},
        {nullptr, "error: unable to load track list file \"absent.json\"\n"},
    };
    tone("one.wav", 1.0);
    for (const auto& [json, message] : cases) {
        SCOPED_TRACE(json ? json : "no file");
        const auto result = json ? loadTracks(json) : loadTrackList("absent.json");
        EXPECT_EQ(result, std::make_pair(false, message));
        EXPECT_TRUE(audio::tracks.empty());
        for (int i = 0; i < 2; ++i) EXPECT_FALSE(audio::updateMusic());
        EXPECT_EQ(audio::musicHandle, 0u);
    }
}

TEST_F(AudioTest, AListOfOnlyMissingTracksPlaysNothingAndTriesAgain) {
    loadTracks(R"(["gone.wav", "lost.wav"])");
    EXPECT_FALSE(audio::updateMusic());
    tone("lost.wav", 1.0);
    ASSERT_TRUE(audio::loadSound("lost.wav"));
    EXPECT_TRUE(audio::updateMusic());
    EXPECT_EQ(audio::nextTrack, 0u);
}

TEST_F(AudioTest, LoadingANameASecondTimeKeepsTheFirstAndBadFilesLeaveNoEntry) {
    tone("effect.wav", 0.1);
    ASSERT_TRUE(audio::loadSound("effect.wav"));
    const size_t frames = audio::sounds.at("effect.wav").frameCount();
    tone("effect.wav", 0.3);
    EXPECT_FALSE(audio::loadSound("effect.wav"));
    EXPECT_EQ(audio::sounds.at("effect.wav").frameCount(), frames);

    EXPECT_FALSE(audio::loadSound("absent.wav"));
    dir.write("assets/audio/noise.wav", "this is not a sound file at all");
    EXPECT_FALSE(audio::loadSound("noise.wav"));
    EXPECT_EQ(audio::sounds.size(), 1u);
}

TEST_F(AudioTest, DecodesTheUsualFormatsIntoAtMostTwoChannels) {
    const std::tuple<const char*, int, int> cases[] = {
        {"pcm.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2},
        {"lossless.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2},
        {"music.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 2},
        {"music.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2},
        {"surround.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4},  // keeps the first two
    };
    for (const auto& [name, format, channels] : cases) {
        SCOPED_TRACE(name);
        writeTone(dir.path / "assets/audio" / name, 0.5, channels, format, 44100);
        ASSERT_TRUE(audio::loadSound(name));
        const audio::Sound& sound = audio::sounds.at(name);
        EXPECT_EQ(sound.channels(), 2);
        EXPECT_EQ(sound.samples().size(), sound.frameCount() * 2);
        EXPECT_EQ(sound.sampleRate(), 44100);
        EXPECT_NEAR(sound.duration(), 0.5, 0.06);  // MP3 pads its frames
        EXPECT_NE(audio::play(sound), 0u);
    }
}

TEST_F(AudioTest, SoundsPlayInTheirGroupAtTheGroupsVolume) {
    audio::SoundGroup& creature = audio::getSoundGroup("creature");
    EXPECT_NE(creature.group, 0u);
    EXPECT_EQ(&audio::getSoundGroup("creature"), &creature);
    EXPECT_NE(audio::getSoundGroup("ambience").group, creature.group);

    EXPECT_EQ(audio::playSound("hurt.wav", "creature"), 0u) << "not loaded";
    tone("hurt.wav", 5.0);
    ASSERT_TRUE(audio::loadSound("hurt.wav"));
    creature.volume = 0.25f;
    const audio::Handle voice = audio::playSound("hurt.wav", "creature");
    ASSERT_NE(voice, 0u);
    EXPECT_FLOAT_EQ(audio::getVolume(voice), 0.25f);
    // Settings change the whole group at once.
    audio::setVolume(creature.group, 0.5f);
    EXPECT_FLOAT_EQ(audio::getVolume(voice), 0.5f);
    audio::stop(creature.group);
    EXPECT_FALSE(audio::isPlaying(voice));
}

TEST_F(AudioTest, MusicIsPlayedAtTheMusicVolumeAndKeepsItsVoice) {
    tone("theme.wav", 5.0);
    tone("click.wav", 5.0);
    loadTracks(R"(["theme.wav"])");
    ASSERT_TRUE(audio::loadSound("click.wav"));
    audio::musicVolume = 0.4f;
    ASSERT_TRUE(audio::updateMusic());
    EXPECT_FLOAT_EQ(audio::getVolume(audio::musicHandle), 0.4f);

    // More sounds than voices: the oldest effects make room, the protected music does not.
    std::vector<audio::Handle> effects;
    for (int i = 0; i < audio::maxVoices + 5; ++i) {
        effects.push_back(audio::playSound("click.wav", "ambience"));
        EXPECT_NE(effects.back(), 0u);
    }
    EXPECT_TRUE(audio::isPlaying(audio::musicHandle));
    EXPECT_FALSE(audio::isPlaying(effects.front()));
    EXPECT_TRUE(audio::isPlaying(effects.back()));
}

TEST_F(AudioTest, WithoutARunningEngineEveryPlayCallDoesNothing) {
    tone("theme.wav", 1.0);
    loadTracks(R"(["theme.wav"])");
    audio::setGlobalVolume(0.7f);
    audio::shutdownEngine();
    EXPECT_FALSE(audio::engineRunning());
    EXPECT_EQ(audio::play(audio::sounds.at("theme.wav")), 0u);
    EXPECT_EQ(audio::playSound("theme.wav", "creature"), 0u);
    EXPECT_FALSE(audio::updateMusic());
    EXPECT_EQ(audio::musicHandle, 0u);

    // The sounds stay loaded and the restarted device mixes at the kept global volume.
    ASSERT_TRUE(audio::startEngine());
    EXPECT_TRUE(audio::updateMusic());
    ALfloat gain = 0.0f;
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.7f);
    audio::setGlobalVolume(1.0f);
}

// The game's own music list: every track it names ships and decodes.
TEST(MusicList, EveryListedTrackLoads) {
    resetAudio();
    const auto [loaded, output] = loadTrackList("music.json");
    ASSERT_TRUE(loaded) << output;
    ASSERT_FALSE(audio::tracks.empty());
    for (const std::string& track : audio::tracks) {
        ASSERT_EQ(audio::sounds.count(track), 1u) << output;
        EXPECT_GT(audio::sounds.at(track).duration(), 2.0) << track;
    }
    resetAudio();
}
