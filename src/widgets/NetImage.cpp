#include "NetImage.h"

#include "common/HsLog.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRunnable>
#include <QThreadPool>
#include <QUrl>
#include <QtMath>

// The library's QML types (this one among them) register themselves from a generated file that
// no code refers to, so a static link would leave it out; referring to it here keeps it in.
void qml_register_types_HsSchool();
[[maybe_unused]] __attribute__((used)) static void (*const keepQmlTypes)() = &qml_register_types_HsSchool;

namespace {

// The application's one network access manager for pictures, made on first use on the
// interface thread and kept until the application object goes.
QNetworkAccessManager &pictureNetwork()
{
    static QPointer<QNetworkAccessManager> network;
    if (!network)
        network = new QNetworkAccessManager(QCoreApplication::instance());
    return *network;
}

// The size at which a picture of size `whole` still covers `shown` (rounded up to whole pixels)
// with its proportions kept, as it is drawn; nothing when that would not make it smaller.
QSize coveringSize(const QSize &whole, const QSizeF &shown)
{
    if (!whole.isValid() || shown.isEmpty())
        return {};
    const QSize area(qCeil(shown.width()), qCeil(shown.height()));
    const QSize covering = whole.scaled(area, Qt::KeepAspectRatioByExpanding);
    return covering.width() < whole.width() ? covering : QSize();
}

// Decoders that can (JPEG) decode straight at the smaller size, so the whole picture never
// stands in memory; the others scale it right after decoding.
QImage decodePicture(const QByteArray &bytes, const QSizeF &shown)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize scaled = coveringSize(reader.size(), shown);
    if (scaled.isValid())
        reader.setScaledSize(scaled);
    return reader.read();
}

} // namespace

NetImage::NetImage(QObject *parent) : QObject(parent) {}

NetImage::~NetImage()
{
    ++*m_generation;
    abortRequest();
}

void NetImage::getImageFromURL(const QString &address)
{
    if (m_clearsOnLoad)
        setImage(QImage());
    abortRequest();
    ++*m_generation;
    const QUrl url(address, QUrl::StrictMode);
    if (address.isEmpty() || !url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        requestFailed(QStringLiteral("unusable picture address \"%1\"").arg(address));
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    QNetworkReply *reply = pictureNetwork().get(request);
    m_httpRequest = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { refuseBodyOverLimit(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { requestFinished(reply); });
    setLoading(true);
}

// Detaches the running request before aborting it, so its end never reaches this object.
void NetImage::abortRequest()
{
    if (!m_httpRequest)
        return;
    QNetworkReply *reply = m_httpRequest;
    m_httpRequest = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

// Gives the load up at the first piece of a body announced longer than the limit, or once the
// body has grown beyond it: the reply keeps everything that has arrived until the load ends.
void NetImage::refuseBodyOverLimit(QNetworkReply *reply)
{
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (reply != m_httpRequest ||
        (announced <= kMaxPictureBytes && reply->bytesAvailable() <= kMaxPictureBytes))
        return;
    const QString address = reply->url().toString();
    abortRequest();
    requestFailed(QStringLiteral("picture at %1 is larger than %2 bytes").arg(address).arg(kMaxPictureBytes));
}

// An answer with a status is a completion whatever the status: its body becomes the picture
// when it decodes as one (an error page does not). No answer at all is a failure.
void NetImage::requestFinished(QNetworkReply *reply)
{
    if (reply != m_httpRequest)
        return;
    m_httpRequest = nullptr;
    reply->deleteLater();
    if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        requestFailed(reply->errorString());
        return;
    }
    const QByteArray body = reply->readAll();
    if (body.isEmpty()) {
        decoded(m_generation->load(), QImage());
        return;
    }
    // The answer comes back through the application object, which outlives every picture; the
    // weak pointer is only read on the interface thread.
    QThreadPool::globalInstance()->start([self = QPointer<NetImage>(this), latest = m_generation,
                                          generation = m_generation->load(), body, shown = m_shownSize] {
        if (latest->load() != generation)
            return;
        QImage image = decodePicture(body, shown);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, image = std::move(image)] {
                if (self)
                    self->decoded(generation, image);
            },
            Qt::QueuedConnection);
    });
}

void NetImage::requestFailed(const QString &description)
{
    hsLog("%s", description.toUtf8().constData());
    setLoading(false);
    emit finished();
}

void NetImage::decoded(quint64 generation, const QImage &image)
{
    if (generation != m_generation->load())
        return;
    if (!image.isNull())
        setImage(image);
    setLoading(false);
    emit finished();
}

void NetImage::setImage(const QImage &image)
{
    if (image.isNull() && m_image.isNull())
        return;
    m_image = image;
    emit imageChanged();
}

void NetImage::setLoading(bool loading)
{
    if (loading == m_loading)
        return;
    m_loading = loading;
    emit loadingChanged();
}
