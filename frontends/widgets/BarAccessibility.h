// The day bars for screen readers: each bar is a slider over the 96 blocks of its day, named by its
// row's caption, described by its enabled ranges, with the keyboard cursor's block as its value.
#pragma once

#include <QString>

class QAccessibleEvent;

namespace tarn::qt {

class BarWidget;
class ScheduleController;

/// Installs the factory that gives every day bar its accessible interface; once per process.
void InstallBarAccessibility();

/// The time of block (0 to 95), "08:00-08:15".
QString BlockTimeText(int block);

/// Tells screen readers that bar's cursor moved to block.
void AnnounceCursor(BarWidget& bar, int block);
/// Tells screen readers that bar's name or description changed.
void AnnounceText(BarWidget& bar, bool name, bool description);

/// Receives the announcements above instead of the screen readers while set; null gives them back
/// to QAccessible. (Qt itself tells of focus changes.)
using AccessibleEventSink = void (*)(QAccessibleEvent* event);
void SetAccessibleEventSink(AccessibleEventSink sink);

}  // namespace tarn::qt
