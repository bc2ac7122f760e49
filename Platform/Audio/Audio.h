#pragma once

// Our audio library subset, in the shapes the game calls it: handles are
// DWORDs (0 means failure), calls return BOOL or a value, and
// BASS_ErrorGetCode tells why the calling thread's last call failed.
//
// One output at a time, mixed in software over SDL2 audio. Streams decode
// Ogg Vorbis and WAV (PCM 8/16/24/32-bit, float 32-bit; one or two
// channels) read through the caller's file callbacks; samples decode the
// same files whole, from memory or a file, and play on channels of their own.
//
//   BASS_Init(-1, 44100, 0, nullptr, nullptr);          // default output
//   HSTREAM music = BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &procs, file);
//   BASS_ChannelSetAttribute(music, BASS_ATTRIB_VOL, 0.5f);
//   BASS_ChannelPlay(music, FALSE);
//   ...
//   BASS_StreamFree(music);                              // calls procs.close
//   BASS_Free();
//
//   HSAMPLE click = BASS_SampleLoad(TRUE, bytes, 0, size, 2, BASS_SAMPLE_OVER_POS);
//   HCHANNEL channel = BASS_SampleGetChannel(click, FALSE);
//   BASS_ChannelPlay(channel, FALSE);
//
// Device 0 is the no-sound device: everything works, nothing is heard and
// nothing is mixed unless pulled through audio::GetOutputMixer() (tests).
// Decoding, and so the file callbacks of a playing stream, run on the output
// thread; a stream's callbacks are never called from two threads at once.

#include "Platform/Win32/Win32Types.h"

#include <cstdint>

typedef uint64_t QWORD;
typedef DWORD HSTREAM;
typedef DWORD HSAMPLE;
typedef DWORD HCHANNEL;

// Error codes (BASS_ErrorGetCode).
#define BASS_OK 0
#define BASS_ERROR_MEM 1       // out of memory
#define BASS_ERROR_FILEOPEN 2  // the file could not be read
#define BASS_ERROR_DRIVER 3    // no audio driver
#define BASS_ERROR_HANDLE 5    // not a live channel
#define BASS_ERROR_FORMAT 6    // sample format not supported
#define BASS_ERROR_INIT 8      // BASS_Init has not succeeded
#define BASS_ERROR_ALREADY 14  // already initialised
#define BASS_ERROR_NOCHAN 18   // every channel of the sample is busy
#define BASS_ERROR_ILLTYPE 19  // unknown attribute or option
#define BASS_ERROR_ILLPARAM 20 // a parameter is out of range
#define BASS_ERROR_DEVICE 23   // no such device, or it cannot be opened
#define BASS_ERROR_FILEFORM 41 // not a file this layer can decode
#define BASS_ERROR_UNKNOWN -1

// BASS_ChannelIsActive results.
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_PAUSED_DEVICE 4 // playing, but the output is paused

// Stream and sample flags.
#define BASS_SAMPLE_LOOP 4 // start again at the end
// A sample whose channels are all busy restarts the one that has played
// longest instead of refusing a new one.
#define BASS_SAMPLE_OVER_POS 0x20000

// Channel attributes.
#define BASS_ATTRIB_VOL 2 // 0 (silent) to 1 (full)

// File systems of BASS_StreamCreateFileUser: only unbuffered reading, where
// the stream asks for the bytes it needs when it needs them.
#define STREAMFILE_NOBUFFER 0

// File callbacks. The length is asked once, when the stream is created; read
// returns the bytes delivered (fewer at the end, (DWORD)-1 on failure); seek
// goes to an offset from the start and returns FALSE on failure. Close is
// called exactly once: when the stream is freed, or when creating it failed.
typedef void(CALLBACK FILECLOSEPROC)(void* user);
typedef QWORD(CALLBACK FILELENPROC)(void* user);
typedef DWORD(CALLBACK FILEREADPROC)(void* buffer, DWORD length, void* user);
typedef BOOL(CALLBACK FILESEEKPROC)(QWORD offset, void* user);

struct BASS_FILEPROCS
{
    FILECLOSEPROC* close;
    FILELENPROC* length;
    FILEREADPROC* read;
    FILESEEKPROC* seek;
};

// device -1 or 1: the default output; 0: the no-sound device. freq is the
// output rate (8000 to 192000; 0 means 44100). The output starts at once.
// flags, win and clsid are accepted and ignored.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const void* clsid);
// Frees every stream (calling their close callbacks) and the output.
BOOL BASS_Free();
// Resume and pause the whole output; streams keep their state and position.
BOOL BASS_Start();
BOOL BASS_Pause();
int BASS_ErrorGetCode();

// flags: 0 or BASS_SAMPLE_LOOP. Returns 0 on failure.
HSTREAM BASS_StreamCreateFileUser(DWORD system, DWORD flags, const BASS_FILEPROCS* procs, void* user);
BOOL BASS_StreamFree(HSTREAM handle);

// Plays from the current position, or from the start when restart is set or
// the stream had reached its end.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
// Stops playing; the position is kept.
BOOL BASS_ChannelStop(DWORD handle);
// BASS_ACTIVE_*; BASS_ACTIVE_STOPPED for a handle that is not live.
DWORD BASS_ChannelIsActive(DWORD handle);
// BASS_ATTRIB_VOL; values outside 0 to 1 are clamped.
BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);

// A sample: the whole file decoded at once, from memory (mem TRUE: file
// points to length bytes) or from a file (mem FALSE: file is a UTF-8 path,
// length 0 meaning to its end), starting offset bytes in. max is how many of
// its channels may exist at once (1 to 65535); flags: BASS_SAMPLE_LOOP,
// BASS_SAMPLE_OVER_POS. Samples longer than 60 seconds or 4M frames are
// refused (BASS_ERROR_MEM). Returns 0 on failure.
HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, QWORD offset, DWORD length, DWORD max, DWORD flags);
// Frees the sample and its channels.
BOOL BASS_SampleFree(HSAMPLE handle);
// A stopped channel playing the sample from its start, at full volume. A
// channel that is not playing is recycled; with every one of the max
// channels playing, onlynew FALSE and BASS_SAMPLE_OVER_POS, the one that has
// played longest is stopped and handed out again; otherwise 0
// (BASS_ERROR_NOCHAN).
HCHANNEL BASS_SampleGetChannel(HSAMPLE handle, BOOL onlynew);
// The sample's existing channels: their count, and their handles when
// channels is not null (room for max). (DWORD)-1 for a handle that is not a
// live sample.
DWORD BASS_SampleGetChannels(HSAMPLE handle, HCHANNEL* channels);
