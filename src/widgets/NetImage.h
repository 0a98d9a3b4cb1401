#pragma once

#include <QImage>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

// A picture fetched from an address with a plain HTTP GET. Every load goes to the network (there
// is no picture cache); only the latest load may set the picture: starting a new one aborts the
// one still running, and a destroyed object aborts its load, so no answer reaches it later. The
// bytes are decoded on a worker thread; every change and signal happens on the object's own
// (interface) thread. A failed load writes its reason to the diagnostic log.
class NetImage : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool loading READ isLoading NOTIFY loadingChanged)
    Q_PROPERTY(bool hasPicture READ hasPicture NOTIFY imageChanged)
    Q_PROPERTY(bool clearsOnLoad READ clearsOnLoad WRITE setClearsOnLoad NOTIFY clearsOnLoadChanged)
public:
    explicit NetImage(QObject *parent = nullptr);
    ~NetImage() override;

    // Starts loading the picture at `address`, aborting the load still running.
    Q_INVOKABLE void getImageFromURL(const QString &address);

    // The request still running, or none when idle.
    QNetworkReply *httpRequest() const { return m_httpRequest; }
    bool isLoading() const { return m_loading; }
    QImage image() const { return m_image; }
    bool hasPicture() const { return !m_image.isNull(); }

    // Whether a new load first takes the picture away (as a view does) or keeps it until the
    // new one arrives. Off by default.
    bool clearsOnLoad() const { return m_clearsOnLoad; }
    void setClearsOnLoad(bool clears);

signals:
    void imageChanged();
    void loadingChanged();
    void clearsOnLoadChanged();
    // A load has ended, with a picture or without.
    void finished();

private:
    void abortRequest();
    void requestFinished(QNetworkReply *reply);
    void requestFailed(const QString &description);
    void decoded(quint64 generation, const QImage &image);
    void setImage(const QImage &image);
    void setLoading(bool loading);

    QPointer<QNetworkReply> m_httpRequest;
    QImage m_image;
    quint64 m_generation = 0;
    bool m_loading = false;
    bool m_clearsOnLoad = false;
};
