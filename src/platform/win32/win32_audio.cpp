// Opening waveOut, the feeding thread, and closing in the right order.
#include "platform/win32/win32_audio.h"

#include <cstdio>

TWin32Audio::TWin32Audio(bool exact) : Stream(exact) {}

TWin32Audio::~TWin32Audio() {
  if (Device == nullptr) return;
  // The feeder may wait in the stream for samples that will not come: both are told first.
  Stream.Finish(TAudioStream::FinishLimit);
  Stopping = true;
  SetEvent(Played);
  Feeder.join();
  waveOutReset(Device);
  for (WAVEHDR& header : Headers)
    waveOutUnprepareHeader(Device, &header, sizeof header);
  waveOutClose(Device);
  CloseHandle(Played);
}

bool TWin32Audio::Open() {
  Played = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = AudioRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = AudioRate * 4;
  const MMRESULT result = waveOutOpen(&Device, WAVE_MAPPER, &format,
                                      reinterpret_cast<DWORD_PTR>(Played), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    Device = nullptr;
    CloseHandle(Played);
    std::fprintf(stderr,
                 "quibbet: no sound device (waveOut error %u): the game plays on without "
                 "sound\n",
                 result);
    return false;
  }
  Samples.assign(Headers.size() * BufferFrames * 2, 0);
  for (size_t i = 0; i < Headers.size(); ++i) {
    WAVEHDR& header = Headers[i];
    header.lpData = reinterpret_cast<LPSTR>(Samples.data() + i * BufferFrames * 2);
    header.dwBufferLength = BufferFrames * 4;
    waveOutPrepareHeader(Device, &header, sizeof header);
  }
  Feeder = std::thread([this] { Feed(); });
  return true;
}

void TWin32Audio::Refill(WAVEHDR& header) {
  Stream.Pull(reinterpret_cast<int16_t*>(header.lpData), BufferFrames, SteadyClockUs());
  waveOutWrite(Device, &header, sizeof header);
}

void TWin32Audio::Feed() {
  // The first fill is the feeder's too: on a virtual clock Pull waits for the game's samples,
  // which the game thread only pushes once the device is open.
  for (WAVEHDR& header : Headers)
    if (!Stopping) Refill(header);
  while (!Stopping) {
    WaitForSingleObject(Played, 100);
    for (WAVEHDR& header : Headers)
      if (!Stopping && (header.dwFlags & WHDR_DONE) != 0) Refill(header);
  }
}

void TWin32Audio::Queue(const int16_t* samples, size_t frames) {
  if (!Tried) {
    Tried = true;
    Open();
  }
  if (Device != nullptr) Stream.Push(samples, frames, SteadyClockUs());
}
