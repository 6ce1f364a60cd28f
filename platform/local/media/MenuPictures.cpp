#include "platform/local/media/MenuPictures.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace platform {

namespace {

class PictureEngine;

// The menu pictures there are, by their icons' cache keys, which copies of an icon share. An
// entry leaves with its engine, the last copy of its icon.
QHash<qint64, PictureEngine*>& pictures() {
    static QHash<qint64, PictureEngine*> engines;
    return engines;
}

class PictureEngine : public QIconEngine {
public:
    PictureEngine(QSize size, std::function<std::optional<QImage>()> load)
        : m_size(size), m_load(std::move(load)) {}
    explicit PictureEngine(const QImage& picture)
        : m_size(picture.size()), m_picture(QPixmap::fromImage(picture)) {}
    ~PictureEngine() override {
        if (m_key)
            pictures().remove(*m_key);
    }

    void registerAs(qint64 key) {
        m_key = key;
        pictures().insert(key, this);
    }

    QSize size() const { return m_size; }
    bool waits() const { return m_load != nullptr; }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        return m_size.scaled(m_size.boundedTo(size), Qt::KeepAspectRatio);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const QPixmap& picture = loaded();
        if (picture.isNull() ||
            (picture.width() <= size.width() && picture.height() <= size.height()))
            return picture;
        return picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const QPixmap picture = pixmap(rect.size(), mode, state);
        if (picture.isNull())
            return;
        QRect target(QPoint(), picture.size());
        target.moveCenter(rect.center());
        painter->drawPixmap(target, picture);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {m_size}; }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("velmora-menu-picture"); }
    // A copy of the icon detached for a change is no menu picture any more; it draws the same.
    QIconEngine* clone() const override {
        auto* copy = new PictureEngine(m_size, m_load);
        copy->m_picture = m_picture;
        return copy;
    }

private:
    const QPixmap& loaded() {
        if (m_load) {
            if (const auto image = m_load())
                m_picture = QPixmap::fromImage(*image);
            m_load = nullptr;
        }
        return m_picture;
    }

    QSize m_size;
    std::function<std::optional<QImage>()> m_load;
    QPixmap m_picture;
    std::optional<qint64> m_key;
};

QIcon registered(PictureEngine* engine) {
    QIcon icon(engine);
    engine->registerAs(icon.cacheKey());
    return icon;
}

} // namespace

QIcon MenuPicture(const QImage& picture) {
    return registered(new PictureEngine(picture));
}

QIcon MenuPicture(QSize size, std::function<std::optional<QImage>()> load) {
    return registered(new PictureEngine(size, std::move(load)));
}

std::optional<QSize> MenuPictureSize(const QIcon& icon) {
    if (icon.isNull())
        return std::nullopt;
    const auto found = pictures().constFind(icon.cacheKey());
    if (found == pictures().constEnd())
        return std::nullopt;
    return (*found)->size();
}

bool MenuPictureWaits(const QIcon& icon) {
    if (icon.isNull())
        return false;
    const auto found = pictures().constFind(icon.cacheKey());
    return found != pictures().constEnd() && (*found)->waits();
}

} // namespace platform
