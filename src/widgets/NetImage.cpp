#include "NetImage.h"

#include "transport/HsLog.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRunnable>
#include <QThreadPool>
#include <QUrl>

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

QImage decodePicture(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
}

} // namespace

NetImage::NetImage(QObject *parent) : QObject(parent) {}

NetImage::~NetImage()
{
    abortRequest();
}

void NetImage::setClearsOnLoad(bool clears)
{
    if (clears == m_clearsOnLoad)
        return;
    m_clearsOnLoad = clears;
    emit clearsOnLoadChanged();
}

void NetImage::getImageFromURL(const QString &address)
{
    if (m_clearsOnLoad)
        setImage(QImage());
    abortRequest();
    ++m_generation;
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
        decoded(m_generation, QImage());
        return;
    }
    // The answer comes back through the application object, which outlives every picture; the
    // weak pointer is only read on the interface thread.
    QThreadPool::globalInstance()->start([self = QPointer<NetImage>(this), generation = m_generation, body] {
        QImage image = decodePicture(body);
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
    if (generation != m_generation)
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
