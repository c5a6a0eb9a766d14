// The browser's audio: our Ogg sounds decoded by the browser and played through Web Audio, each channel and the
// music a source into its own gain. Browsers hold sound back until the visitor's first key or click: the context
// resumes then, and effects asked for before it are dropped rather than heard all at once.
#include "../Audio.h"
#include <cstdint>
#include <cstring>
#include <emscripten.h>
#include <string>

namespace {
bool Opened = false;
int ChannelsOpen = 0;
int SoundsMade = 0;
constexpr int MusicSlot = -1;

// The loop the music's Vorbis comments name (LOOPSTART, LOOPLENGTH, in samples at the stream's rate), in seconds;
// an empty loop when there is none.
struct LoopPoints {
    double Start = 0, End = 0;
};

long long CommentNumber(const unsigned char* bytes, std::size_t size, const char* name) {
    constexpr std::size_t HeadersSpan = 16384; // the comments come in the stream's first pages
    std::size_t span = size < HeadersSpan ? size : HeadersSpan;
    std::string text(reinterpret_cast<const char*>(bytes), span);
    std::size_t at = text.find(name);
    if (at == std::string::npos) return -1;
    long long value = 0;
    bool any = false;
    for (std::size_t i = at + std::strlen(name); i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        any = true;
    }
    return any ? value : -1;
}

LoopPoints LoopOf(const unsigned char* bytes, std::size_t size) {
    // The identification header: packet type 1, "vorbis", the version (4 bytes), the channels (1), the rate (4).
    constexpr std::size_t RateOffset = 12, HeaderSearch = 64;
    const char tag[] = "\x01vorbis";
    LoopPoints loop;
    for (std::size_t at = 0; at + RateOffset + 4 <= size && at < HeaderSearch; ++at) {
        if (std::memcmp(bytes + at, tag, sizeof tag - 1) != 0) continue;
        const unsigned char* rate = bytes + at + RateOffset;
        double hertz = rate[0] | rate[1] << 8 | rate[2] << 16 | static_cast<std::uint32_t>(rate[3]) << 24;
        long long start = CommentNumber(bytes, size, "LOOPSTART="), length = CommentNumber(bytes, size, "LOOPLENGTH=");
        if (hertz > 0 && start >= 0 && length > 0) loop = {start / hertz, (start + length) / hertz};
        break;
    }
    return loop;
}

EM_JS(int, WebAudioOpen, (int channels), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    var audio = {context : new Context(), sounds : [ null ], slots : {}};
    for (var i = 0; i < channels; ++i) audio.slots[i] = {};
    audio.slots[-1] = {};
    // A key that ends the program (Escape in a watch) closes the context before its resume completes: nothing to
    // report then.
    var resume = function() {
        if (audio.context.state != "running") audio.context.resume().catch(function(){});
    };
    [ "keydown", "mousedown", "touchstart" ].forEach(function(name) { window.addEventListener(name, resume, true); });
    audio.stop = function(slot) {
        if (slot.source) {
            slot.source.onended = null;
            try {
                slot.source.stop();
            } catch (e) {
            }
            slot.source.disconnect();
        }
        slot.source = null;
        slot.playing = false;
        slot.paused = false;
        slot.waiting = false;
    };
    audio.start = function(slot, offset) {
        var sound = audio.sounds[slot.sound];
        if (!sound.buffer) {
            slot.waiting = true; // starts once the browser has decoded it
            return;
        }
        slot.waiting = false;
        var source = audio.context.createBufferSource();
        source.buffer = sound.buffer;
        source.loop = slot.loop;
        if (slot.loop && sound.loopEnd > sound.loopStart) {
            source.loopStart = sound.loopStart;
            source.loopEnd = Math.min(sound.loopEnd, sound.buffer.duration);
        }
        if (!slot.gain) {
            slot.gain = audio.context.createGain();
            slot.gain.connect(audio.context.destination);
        }
        slot.gain.gain.value = slot.volume;
        source.connect(slot.gain);
        source.onended = function() {
            if (slot.source == source) {
                slot.source = null;
                slot.playing = false;
            }
        };
        slot.source = source;
        slot.startedAt = audio.context.currentTime - offset;
        source.start(0, offset);
    };
    audio.position = function(slot) {
        var sound = audio.sounds[slot.sound];
        var at = audio.context.currentTime - slot.startedAt;
        if (!sound.buffer) return 0;
        var end = slot.loop && sound.loopEnd > sound.loopStart ? sound.loopEnd : sound.buffer.duration;
        var start = slot.loop && sound.loopEnd > sound.loopStart ? sound.loopStart : 0;
        if (slot.loop && at > end) at = start + (at - start) % (end - start);
        return Math.min(at, sound.buffer.duration);
    };
    Module.kestrovarAudio = audio;
    return 1;
});

EM_JS(void, WebAudioClose, (), {
    var audio = Module.kestrovarAudio;
    if (!audio) return;
    for (var key in audio.slots) audio.stop(audio.slots[key]);
    audio.context.close();
    Module.kestrovarAudio = null;
});

EM_JS(int, WebAudioCreate, (const unsigned char* bytes, int size, double loopStart, double loopEnd), {
    var audio = Module.kestrovarAudio;
    var sound = {buffer : null, loopStart : loopStart, loopEnd : loopEnd};
    audio.sounds.push(sound);
    var handle = audio.sounds.length - 1;
    var copy = HEAPU8.slice(bytes, bytes + size).buffer;
    audio.context.decodeAudioData(copy).then(
        function(buffer) {
            sound.buffer = buffer;
            for (var key in audio.slots) {
                var slot = audio.slots[key];
                if (slot.waiting && slot.sound == handle) audio.start(slot, 0);
            }
        },
        function(){});
    return handle;
});

EM_JS(void, WebAudioPlay, (int slotNumber, int sound, int loop, double volume), {
    var audio = Module.kestrovarAudio;
    var slot = audio.slots[slotNumber];
    audio.stop(slot);
    if (!loop && audio.context.state != "running") return;
    slot.sound = sound;
    slot.loop = loop != 0;
    slot.volume = volume;
    slot.playing = true;
    audio.start(slot, 0);
});

EM_JS(int, WebAudioPlaying, (int slotNumber), { return Module.kestrovarAudio.slots[slotNumber].playing ? 1 : 0; });

EM_JS(void, WebAudioStop, (int slotNumber), {
    var audio = Module.kestrovarAudio;
    audio.stop(audio.slots[slotNumber]);
});

EM_JS(void, WebAudioPause, (int slotNumber, int paused), {
    var audio = Module.kestrovarAudio;
    var slot = audio.slots[slotNumber];
    if (!slot.playing || slot.paused == (paused != 0)) return;
    if (paused) {
        slot.offset = slot.source ? audio.position(slot) : 0;
        if (slot.source) {
            slot.source.onended = null;
            slot.source.stop();
            slot.source.disconnect();
            slot.source = null;
        }
        slot.paused = true;
    } else {
        slot.paused = false;
        audio.start(slot, slot.offset || 0);
    }
});

EM_JS(void, WebAudioVolume, (int slotNumber, double volume), {
    var slot = Module.kestrovarAudio.slots[slotNumber];
    slot.volume = volume;
    if (slot.gain) slot.gain.gain.value = volume;
});

bool ValidChannel(int channel) { return Opened && channel >= 0 && channel < ChannelsOpen; }
bool ValidSound(int sound) { return Opened && sound >= 1 && sound <= SoundsMade; }
double Clamped(float volume) { return volume < 0 ? 0 : volume > 1 ? 1 : volume; }
} // namespace

namespace Audio {

bool Open(int channels) {
    if (Opened) return true;
    if (channels < 1 || !WebAudioOpen(channels)) return false;
    Opened = true;
    ChannelsOpen = channels;
    SoundsMade = 0;
    return true;
}

bool IsOpen() { return Opened; }

void Close() {
    if (!Opened) return;
    WebAudioClose();
    Opened = false;
    ChannelsOpen = 0;
    SoundsMade = 0;
}

int CreateSound(const unsigned char* bytes, std::size_t size, bool /*stream*/) {
    if (!Opened || bytes == nullptr || size == 0) return NoSound;
    LoopPoints loop = LoopOf(bytes, size);
    SoundsMade = WebAudioCreate(bytes, static_cast<int>(size), loop.Start, loop.End);
    return SoundsMade;
}

// The browser decodes as it was handed the bytes.
void DecodeSoon(int) {}

// Only the built-in sounds exist in the browser.
int CreateSoundFromFile(const char*, bool) { return NoSound; }

void PlayOnChannel(int channel, int sound, bool loop, float volume) {
    if (ValidChannel(channel) && ValidSound(sound)) WebAudioPlay(channel, sound, loop, Clamped(volume));
}

bool ChannelPlaying(int channel) { return ValidChannel(channel) && WebAudioPlaying(channel); }

void StopChannel(int channel) {
    if (ValidChannel(channel)) WebAudioStop(channel);
}

void PauseChannel(int channel, bool paused) {
    if (ValidChannel(channel)) WebAudioPause(channel, paused);
}

void SetChannelVolume(int channel, float volume) {
    if (ValidChannel(channel)) WebAudioVolume(channel, Clamped(volume));
}

void PlayMusic(int sound, bool loop, float volume) {
    if (ValidSound(sound)) WebAudioPlay(MusicSlot, sound, loop, Clamped(volume));
}

bool MusicPlaying() { return Opened && WebAudioPlaying(MusicSlot); }

void StopMusic() {
    if (Opened) WebAudioStop(MusicSlot);
}

void PauseMusic(bool paused) {
    if (Opened) WebAudioPause(MusicSlot, paused);
}

void SetMusicVolume(float volume) {
    if (Opened) WebAudioVolume(MusicSlot, Clamped(volume));
}

} // namespace Audio
