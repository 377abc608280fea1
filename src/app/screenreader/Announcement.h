#pragma once

#include <QWidget>

namespace tb {

// A notification for a screen reader: it speaks the sentence without the
// keyboard focus moving. It has no pixels, takes no focus and is no tab stop;
// it stays shown, so that a screen reader takes it for something on screen.
class Announcement : public QWidget {
    Q_OBJECT

public:
    explicit Announcement(QWidget* parent);

    // Spoken once per call, the same sentence again included.
    void announce(const QString& sentence);
};

} // namespace tb
