// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

class QImage;

// Read-only view over one resource embedded in the executable, addressed by its integer
// identifier: keyframes 1..63 (raw JPEG data) and casing pictures 440, 640, 800 (bitmaps).
// HD keyframes 1..63 come from the separate data file once it is registered (HdKeyframeSet).
// The bytes point straight into the executable's (or the data file's) mapping; nothing is copied.
class ResourceStream
{
public:
    enum class Kind { RawData, Bitmap, HdKeyframe, BaselineKeyframe };

    // Raises ToolkitError "Ressource <id> wurde nicht gefunden" when there is no such resource.
    ResourceStream(int id, Kind kind = Kind::RawData);

    const uchar *data() const { return m_data; }
    qint64 size() const { return m_size; }
    // The bytes as a QByteArray that shares the embedded data.
    QByteArray bytes() const;
    // Lets the system drop the bytes' pages from memory once they have been read: a keyframe is
    // decoded once and then held as a picture, and its mapped bytes would otherwise stay resident
    // for the rest of the run. Never changes the bytes; read again, they come back from the file.
    void releasePages() const;

    // Path inside the Qt resource system, e.g. ":/keyframes/7.jpg" or ":/keyframes-hd/7.jpg";
    // ":/keyframes-baseline/7.jpg" is keyframe 7 in baseline form, from the HD data file.
    static QString path(int id, Kind kind);

private:
    const uchar *m_data = nullptr;
    qint64 m_size = 0;
};

// Decodes the BITMAP resource with the given identifier (a casing picture).
QImage loadBitmapResource(int id);
// A picture-button image by control name ("bsPause", "bsPauseD", ...).
QImage loadButtonImage(const QString &controlName);
