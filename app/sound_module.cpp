// SPDX-License-Identifier: GPL-3.0-or-later
// The sound player, built as a module of its own (vortigo_sound) that the
// platform loads at the first sound: the multimedia libraries are then not
// loaded, nor their memory touched, before anything plays. Sounds play on a
// thread of their own, so the pause after a sound (which blocks the
// interface thread on purpose) does not starve the audio output.
#include <QHash>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <QVariant>

namespace {

class SoundPlayer : public QObject {
public:
    void play(const QString& path)
    {
        QSoundEffect*& effect = m_effects[path];
        if (!effect) {
            effect = new QSoundEffect(this);
            QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
                if (effect->status() == QSoundEffect::Ready && effect->property("pending").toBool()) {
                    effect->setProperty("pending", false);
                    effect->play();
                }
            });
            effect->setSource(QUrl::fromLocalFile(path));
        }
        if (effect->status() == QSoundEffect::Ready)
            effect->play();
        else
            effect->setProperty("pending", true);  // played as soon as it has loaded
    }

private:
    QHash<QString, QSoundEffect*> m_effects;
};

QThread* g_thread = nullptr;
SoundPlayer* g_player = nullptr;

}  // namespace

/// Starts a wave file playing and returns at once.
extern "C" Q_DECL_EXPORT void vortigo_sound_play(const QString* path)
{
    if (g_thread == nullptr) {
        g_thread = new QThread;
        g_player = new SoundPlayer;
        g_player->moveToThread(g_thread);
        QObject::connect(g_thread, &QThread::finished, g_player, &QObject::deleteLater);
        g_thread->start();
    }
    SoundPlayer* player = g_player;
    QMetaObject::invokeMethod(player, [player, file = *path] { player->play(file); }, Qt::QueuedConnection);
}

/// Stops the sound thread; called before the program's end.
extern "C" Q_DECL_EXPORT void vortigo_sound_stop()
{
    if (g_thread == nullptr)
        return;
    g_thread->quit();
    g_thread->wait();
    delete g_thread;
    g_thread = nullptr;
    g_player = nullptr;
}
