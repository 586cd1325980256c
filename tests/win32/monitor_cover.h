// Whether a borderless window was made to cover its monitor, as the full-screen display does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

inline ::testing::AssertionResult CoversItsMonitor(HWND window) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
    return ::testing::AssertionFailure() << "no monitor information";
  RECT rect;
  if (!GetWindowRect(window, &rect)) return ::testing::AssertionFailure() << "no window rectangle";
  if (EqualRect(&rect, &monitor.rcMonitor)) return ::testing::AssertionSuccess();
  const RECT& m = monitor.rcMonitor;
  return ::testing::AssertionFailure()
         << "window (" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom
         << "), monitor (" << m.left << "," << m.top << ")-(" << m.right << "," << m.bottom << ")";
}
