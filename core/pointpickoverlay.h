#pragma once
// Picking a screen point where no program may watch the global mouse (Wayland): a
// see-through layer over each screen takes one click, left or right, and reports
// it in global coordinates; Escape cancels. The coordinate tag is drawn inside the
// layer, next to the pointer, as the compositor places no window of ours there.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QVector>

class QRect;
class QWidget;

class PointPickOverlay : public QObject
{
    Q_OBJECT

public:
    explicit PointPickOverlay(QObject* parent = nullptr);
    // Closes the layers of a pick still in progress, without a signal.
    ~PointPickOverlay() override;

    // Off (the main program): logical coordinates. On (the designer, which runs with
    // high-DPI scaling): physical pixels of the screen clicked, as its coordinate tag shows.
    void setPhysicalPixels(bool on) { m_physicalPixels = on; }
    // A line the tag shows under the coordinates (e.g. why no colour is picked); empty: none.
    void setTagNote(const QString& note) { m_tagNote = note; }
    QString tagNote() const { return m_tagNote; }

    // Covers every screen and waits for the click.
    void start();
    // Closes the layers without a signal.
    void stop();
    bool isActive() const { return !m_layers.isEmpty(); }
    // One per screen while active (tests).
    QVector<QWidget*> layers() const;

signals:
    void picked(const QPoint& globalPoint);
    void cancelled();

private:
    // Shows the layer of the `number`th screen over `screenArea`.
    static void show(QWidget* layer, const QRect& screenArea, int number);

    QVector<QPointer<QWidget>> m_layers;
    bool m_physicalPixels = false;
    QString m_tagNote;
};
