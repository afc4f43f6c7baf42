// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

class QImage;

// The keyframes 1..63 at 1600 x 1200, the same views as the embedded ones at twice their size.
// They are shipped in a Qt resource data file of their own (tiefenflug-hd.rcc) so that the
// executable stays small; once registered, the file stays mapped for the rest of the run. A set
// holds all 63 keyframes or none.
class HdKeyframeSet
{
public:
    static constexpr int width = 1600;
    static constexpr int height = 1200;

    // The data file's name, as the build writes and installs it.
    static QString fileName();

    // Registers the first usable data file among the folders, in their order, and returns the
    // set it holds. A missing file is passed over quietly, a damaged or incomplete one with a
    // warning; with none usable the set is empty and nothing else changes.
    static HdKeyframeSet registerFirst(const QStringList &folders);

    HdKeyframeSet() = default;   // the empty set

    bool isAvailable() const { return !m_file.isEmpty(); }
    QString file() const { return m_file; }   // the registered data file; empty for none

    // Decodes HD keyframe `number` (1..63) into `target` the way the embedded keyframes are
    // decoded (any thread, its own decoder). On failure, an empty set included, the target keeps
    // its previous picture and ToolkitError is raised.
    void decode(int number, QImage &target) const;

private:
    explicit HdKeyframeSet(const QString &file) : m_file(file) { }

    QString m_file;
};
