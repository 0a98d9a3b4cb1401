#pragma once

#include <QImage>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <atomic>
#include <memory>

// A picture fetched from an address with a plain HTTP GET. Every load goes to the network (there
// is no picture cache); only the latest load may set the picture: starting a new one aborts the
// one still running, and a destroyed object aborts its load, so no answer reaches it later. A
// body larger than kMaxPictureBytes is given up while it arrives. The bytes are decoded on a
// worker thread, no larger than the picture is shown; every change and signal happens on the
// object's own (interface) thread. A failed load writes its reason to the diagnostic log.
class NetImage : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool loading READ isLoading NOTIFY loadingChanged)
    Q_PROPERTY(bool hasPicture READ hasPicture NOTIFY imageChanged)
    // Whether a new load first takes the picture away (as a view does) or keeps it until the
    // new one arrives. Off by default.
    Q_PROPERTY(bool clearsOnLoad MEMBER m_clearsOnLoad NOTIFY clearsOnLoadChanged)
    // The size, in device pixels, of the area the picture is drawn over (covering it, proportions
    // kept). A picture is decoded only as large as it takes to cover it, never larger than it is;
    // with no size it is decoded whole. Read when the body has arrived.
    Q_PROPERTY(QSizeF shownSize MEMBER m_shownSize NOTIFY shownSizeChanged)
public:
    // A longer body counts as a failed load.
    static constexpr qint64 kMaxPictureBytes = 8 * 1024 * 1024;

    explicit NetImage(QObject *parent = nullptr);
    ~NetImage() override;

    // Starts loading the picture at `address`, aborting the load still running.
    Q_INVOKABLE void getImageFromURL(const QString &address);

    // The request still running, or none when idle.
    QNetworkReply *httpRequest() const { return m_httpRequest; }
    bool isLoading() const { return m_loading; }
    QImage image() const { return m_image; }
    bool hasPicture() const { return !m_image.isNull(); }

signals:
    void imageChanged();
    void loadingChanged();
    void clearsOnLoadChanged();
    void shownSizeChanged();
    // A load has ended, with a picture or without.
    void finished();

private:
    void abortRequest();
    void refuseBodyOverLimit(QNetworkReply *reply);
    void requestFinished(QNetworkReply *reply);
    void requestFailed(const QString &description);
    void decoded(quint64 generation, const QImage &image);
    void setImage(const QImage &image);
    void setLoading(bool loading);

    QPointer<QNetworkReply> m_httpRequest;
    QImage m_image;
    QSizeF m_shownSize;
    // The number of the latest load, shared with the decoding still under way for this object so
    // that a decoding made moot by a newer load, or by the object's end, is skipped.
    std::shared_ptr<std::atomic<quint64>> m_generation = std::make_shared<std::atomic<quint64>>(0);
    bool m_loading = false;
    bool m_clearsOnLoad = false;
};
