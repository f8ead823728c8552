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

// Writes a sine tone of the given length through libsndfile; format is e.g. SF_FORMAT_WAV |
// SF_FORMAT_PCM_16.
void writeTone(const std::filesystem::path& path, double seconds, int channels = 1,
               int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16, int rate = 22050) {
    std::filesystem::create_directories(path.parent_path());
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> samples(frames * channels);
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[i * channels + c] = 0.25f * std::sin(6.2831853f * 440.0f * (c + 1) * i / rate);
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
        testing::internal::CaptureStdout();
        const bool result = audio::loadTrackList("music.json");
        return {result, testing::internal::GetCapturedStdout()};
    }
    // Plays the current track until it is stopped, then lets the music move on.
    unsigned playedIndexAfterStop() {
        audio::stop(audio::musicHandle);
        EXPECT_TRUE(audio::updateMusic());
        return (audio::nextTrack + static_cast<unsigned>(audio::tracks.size()) - 1) %
               static_cast<unsigned>(audio::tracks.size());
    }
};

TEST_F(AudioTest, TrackListWithAMissingFilePlaysTheOthersInTurn) {
    tone("one.wav", 5.0);
    tone("three.wav", 5.0);
    const auto [result, output] = loadTracks(R"(["one.wav", "two.wav", "three.wav"])");
    EXPECT_TRUE(result);
    EXPECT_EQ(output,
              "successfully loaded track \"one.wav\"\n"
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

    EXPECT_EQ(playedIndexAfterStop(), 2u);
    EXPECT_EQ(playedIndexAfterStop(), 0u);
    EXPECT_EQ(playedIndexAfterStop(), 2u);
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

TEST_F(AudioTest, TrackListThatIsNotAnArrayIsRefused) {
    const auto [result, output] = loadTracks(R"({"track": "one.wav"})");
    EXPECT_FALSE(result);
    EXPECT_EQ(output, "error: expected an array for track list\n");
    EXPECT_TRUE(audio::tracks.empty());
}

TEST_F(AudioTest, MissingOrBrokenTrackListFileIsReported) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(audio::loadTrackList("absent.json"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "error: unable to load track list file \"absent.json\"\n");
    const auto [result, output] = loadTracks("[\"one.wav\"");
    EXPECT_FALSE(result);
    EXPECT_EQ(output, "error: unable to load track list file \"music.json\"\n");
}

TEST_F(AudioTest, ANumberAmongTheNamesIsSkipped) {
    tone("a.wav", 0.1);
    tone("b.wav", 0.1);
    const auto [result, output] = loadTracks(R"(["a.wav", 3, "b.wav"])");
    EXPECT_TRUE(result);
    EXPECT_EQ(output,
              "successfully loaded track \"a.wav\"\n"
              "error: all track names must be strings\n"
              "successfully loaded track \"b.wav\"\n");
    EXPECT_EQ(audio::tracks, (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST_F(AudioTest, AnEmptyTrackListPlaysNothing) {
    const auto [result, output] = loadTracks("[]");
    EXPECT_FALSE(result);
    EXPECT_EQ(output, "");
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(audio::updateMusic());
    EXPECT_EQ(audio::musicHandle, 0u);
}

TEST_F(AudioTest, AListOfOnlyMissingTracksPlaysNothingAndTriesAgain) {
    loadTracks(R"(["gone.wav", "lost.wav"])");
    EXPECT_FALSE(audio::updateMusic());
    tone("lost.wav", 1.0);
    ASSERT_TRUE(audio::loadSound("lost.wav"));
    EXPECT_TRUE(audio::updateMusic());
    EXPECT_EQ(audio::nextTrack, 0u);
}

TEST_F(AudioTest, LoadingANameASecondTimeKeepsTheFirstSound) {
    tone("effect.wav", 0.1);
    ASSERT_TRUE(audio::loadSound("effect.wav"));
    const size_t frames = audio::sounds.at("effect.wav").frameCount();
    tone("effect.wav", 0.3);
    EXPECT_FALSE(audio::loadSound("effect.wav"));
    EXPECT_EQ(audio::sounds.at("effect.wav").frameCount(), frames);
}

TEST_F(AudioTest, MissingAndUndecodableFilesLeaveNoEntry) {
    EXPECT_FALSE(audio::loadSound("absent.wav"));
    dir.write("assets/audio/noise.wav", "this is not a sound file at all");
    EXPECT_FALSE(audio::loadSound("noise.wav"));
    EXPECT_TRUE(audio::sounds.empty());
}

TEST_F(AudioTest, DecodesTheUsualFormats) {
    struct Case {
        const char* name;
        int format;
    };
    for (const Case& c : {Case{"pcm.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                          Case{"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                          Case{"lossless.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                          Case{"music.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                          Case{"music.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}}) {
        writeTone(dir.path / "assets/audio" / c.name, 0.5, 2, c.format, 44100);
        ASSERT_TRUE(audio::loadSound(c.name)) << c.name;
        const audio::Sound& sound = audio::sounds.at(c.name);
        EXPECT_EQ(sound.channels(), 2) << c.name;
        EXPECT_EQ(sound.sampleRate(), 44100) << c.name;
        EXPECT_NEAR(sound.duration(), 0.5, 0.06) << c.name;  // MP3 pads its frames
        EXPECT_NE(audio::play(sound), 0u) << c.name;
    }
}

TEST_F(AudioTest, MoreThanTwoChannelsKeepTheFirstTwo) {
    tone("surround.wav", 0.1, 4);
    ASSERT_TRUE(audio::loadSound("surround.wav"));
    const audio::Sound& sound = audio::sounds.at("surround.wav");
    EXPECT_EQ(sound.channels(), 2);
    EXPECT_EQ(sound.samples().size(), sound.frameCount() * 2);
}

TEST_F(AudioTest, SoundGroupsAreCreatedOnceByName) {
    audio::SoundGroup& creature = audio::getSoundGroup("creature");
    EXPECT_NE(creature.group, 0u);
    EXPECT_FLOAT_EQ(creature.volume, 1.0f);
    EXPECT_EQ(&audio::getSoundGroup("creature"), &creature);
    EXPECT_EQ(audio::getSoundGroup("creature").group, creature.group);
    EXPECT_NE(audio::getSoundGroup("ambience").group, creature.group);
}

TEST_F(AudioTest, PlaySoundUsesTheGroupVolumeAndJoinsTheGroup) {
    tone("hurt.wav", 5.0);
    ASSERT_TRUE(audio::loadSound("hurt.wav"));
    audio::getSoundGroup("creature").volume = 0.25f;
    const audio::Handle voice = audio::playSound("hurt.wav", "creature");
    ASSERT_NE(voice, 0u);
    EXPECT_FLOAT_EQ(audio::getVolume(voice), 0.25f);

    // Settings change the whole group at once.
    audio::setVolume(audio::getSoundGroup("creature").group, 0.5f);
    EXPECT_FLOAT_EQ(audio::getVolume(voice), 0.5f);
    audio::stop(audio::getSoundGroup("creature").group);
    EXPECT_FALSE(audio::isPlaying(voice));
}

TEST_F(AudioTest, PlayingASoundThatIsNotLoadedDoesNothing) {
    EXPECT_EQ(audio::playSound("never.wav", "creature"), 0u);
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
    audio::shutdownEngine();
    EXPECT_FALSE(audio::engineRunning());
    EXPECT_EQ(audio::play(audio::sounds.at("theme.wav")), 0u);
    EXPECT_EQ(audio::playSound("theme.wav", "creature"), 0u);
    EXPECT_FALSE(audio::updateMusic());
    EXPECT_EQ(audio::musicHandle, 0u);

    // The sounds stay loaded; once an engine runs again they play.
    ASSERT_TRUE(audio::startEngine());
    EXPECT_TRUE(audio::updateMusic());
}

TEST_F(AudioTest, GlobalVolumeIsKeptAcrossEngineRestarts) {
    audio::setGlobalVolume(0.7f);
    audio::shutdownEngine();
    ASSERT_TRUE(audio::startEngine());
    // The restarted device mixes at the kept volume, not only the stored number.
    ALfloat gain = 0.0f;
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.7f);
    audio::setGlobalVolume(1.0f);
}

// The game's own music list: every track it names ships and decodes.
TEST(MusicList, EveryListedTrackLoads) {
    resetAudio();
    testing::internal::CaptureStdout();
    const bool loaded = audio::loadTrackList("music.json");
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(loaded) << output;
    ASSERT_FALSE(audio::tracks.empty());
    for (const std::string& track : audio::tracks) {
        ASSERT_EQ(audio::sounds.count(track), 1u) << output;
        EXPECT_GT(audio::sounds.at(track).duration(), 2.0) << track;
    }
    resetAudio();
}
