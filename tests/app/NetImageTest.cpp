#include "widgets/NetImage.h"

#include "AppTestSupport.h"
#include "PictureServer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QScreen>
#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The red picture followed by zero bytes up to `bytes` in all, which decoders read past.
QByteArray paddedPicture(qint64 bytes)
{
    QByteArray body = PictureServer::png(QSize(16, 10), Qt::red);
    body.append(bytes - body.size(), '\0');
    return body;
}

QByteArray jpeg(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

class NetImageTest : public testing::Test
{
protected:
    NetImageTest()
    {
        pictures.answer("/red.png", 200, PictureServer::png(QSize(16, 10), Qt::red));
        pictures.answer("/blue.png", 200, PictureServer::png(QSize(8, 8), Qt::blue));
    }

    static void load(NetImage &image, const QString &address)
    {
        QSignalSpy finished(&image, &NetImage::finished);
        image.getImageFromURL(address);
        ASSERT_TRUE(waitUntil([&] { return finished.count() > 0; })) << address.toStdString();
    }

    PictureServer pictures;
};

} // namespace

// Only a picture body up to the size limit gives a picture, decoded only as large as it takes to
// cover the size it is shown at with its own proportions (never larger than it is, whole when no
// size is given). Failures of the connection or a body over the limit are logged; every load ends
// idle. A body over the limit is given up while it arrives, whether its length is announced or not.
TEST_F(NetImageTest, OnlyAPictureBodyWithinTheLimitGivesAPictureDecodedToCoverWhereItIsShown)
{
    const qint64 limit = NetImage::kMaxPictureBytes;
    pictures.answer("/missing.png", 404, "<html><body>Not Found</body></html>", "text/html");
    pictures.answer("/empty.png", 200, {});
    pictures.answer("/text.png", 200, "this is no picture", "text/plain");
    pictures.answer("/at-limit.png", 200, paddedPicture(limit));
    pictures.answer("/over-limit.png", 200, paddedPicture(limit + 1));
    pictures.answerStreamed("/announced.png", 8 * limit, true);
    pictures.answerStreamed("/unannounced.png", 8 * limit, false);
    pictures.answer("/wide.png", 200, PictureServer::png(QSize(400, 200), Qt::green));
    pictures.answer("/wide.jpg", 200, jpeg(QSize(400, 200)), "image/jpeg");
    const ClosedPort closed;
    const struct
    {
        QString address;
        QSize shown, decoded; // decoded empty: no picture
        bool logged;
    } cases[] = {
        {pictures.url("/red.png"), {}, {16, 10}, false},
        {pictures.url("/missing.png"), {}, {}, false},
        {pictures.url("/empty.png"), {}, {}, false},
        {pictures.url("/text.png"), {}, {}, false},
        {QString::fromStdString(closed.url()), {}, {}, true},
        {QString(), {}, {}, true},
        {QStringLiteral("not an address"), {}, {}, true},
        {pictures.url("/at-limit.png"), {}, {16, 10}, false},
        {pictures.url("/over-limit.png"), {}, {}, true},
        {pictures.url("/announced.png"), {}, {}, true},
        {pictures.url("/unannounced.png"), {}, {}, true},
        {pictures.url("/wide.png"), {50, 50}, {100, 50}, false},
        {pictures.url("/wide.png"), {80, 20}, {80, 40}, false},
        {pictures.url("/wide.png"), {800, 800}, {400, 200}, false},
        {pictures.url("/wide.jpg"), {60, 10}, {60, 30}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.address.toStdString() << " shown at " << c.shown.width() << "x"
                                        << c.shown.height());
        LogCapture log;
        NetImage image;
        image.setProperty("shownSize", c.shown);
        load(image, c.address);
        EXPECT_EQ(image.hasPicture(), !c.decoded.isEmpty());
        if (image.hasPicture()) {
            EXPECT_EQ(image.image().width(), c.decoded.width());
            EXPECT_EQ(image.image().height(), c.decoded.height());
        }
        EXPECT_FALSE(image.isLoading());
        EXPECT_EQ(image.httpRequest(), nullptr);
        EXPECT_EQ(!log.lines().empty(), c.logged);
    }
    EXPECT_LT(pictures.sentOf("/announced.png"), limit);
    EXPECT_LT(pictures.sentOf("/unannounced.png"), 2 * limit);
}

// A view clears its picture as a load starts and only the latest address sets it; the same
// address loaded again reaches the server again, as pictures are not kept by address.
TEST_F(NetImageTest, AViewClearsItsPictureAtOnceAndOnlyTheLatestAddressSetsIt)
{
    NetImage image;
    image.setProperty("clearsOnLoad", true);
    load(image, pictures.url("/red.png"));
    ASSERT_EQ(image.image().size(), QSize(16, 10));

    pictures.hold("/red.png");
    image.getImageFromURL(pictures.url("/red.png"));
    EXPECT_FALSE(image.hasPicture());
    EXPECT_TRUE(image.isLoading());
    ASSERT_TRUE(waitUntil([&] { return pictures.requestsOf("/red.png") == 2; }));

    load(image, pictures.url("/blue.png"));
    EXPECT_EQ(image.image().pixelColor(0, 0), QColor(Qt::blue));
    pictures.release("/red.png");
    EXPECT_TRUE(waitUntil([&] { return pictures.abandoned() == 1; }));
    EXPECT_EQ(image.image().size(), QSize(8, 8));
    EXPECT_FALSE(image.isLoading());
}

TEST_F(NetImageTest, DestroyingAPictureMidLoadAbortsItsRequestAndBringsNoReport)
{
    pictures.hold("/red.png");
    auto image = std::make_unique<NetImage>();
    int reports = 0;
    QObject witness;
    for (auto signal : {&NetImage::finished, &NetImage::imageChanged})
        QObject::connect(image.get(), signal, &witness, [&] { ++reports; });
    image->getImageFromURL(pictures.url("/red.png"));
    ASSERT_TRUE(waitUntil([&] { return pictures.requestsOf("/red.png") == 1; }));

    image.reset();
    ASSERT_TRUE(waitUntil([&] { return pictures.abandoned() == 1; }));
    pictures.release("/red.png");
    // A load started afterwards ends normally, so anything pending has been delivered by then.
    NetImage later;
    load(later, pictures.url("/blue.png"));
    EXPECT_EQ(reports, 0);
}

// A view hands over the size it takes on the screen, so a large picture is held no larger than it
// is shown.
TEST_F(NetImageTest, AViewHoldsItsPictureAtTheSizeItShowsIt)
{
    pictures.answer("/large.png", 200, PictureServer::png(QSize(1400, 880), Qt::red));
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQuick\nNetImageView { width: 70; height: 44 }",
                      QUrl(QStringLiteral("qrc:/HsSchool/NetImageViewTest.qml")));
    std::unique_ptr<QQuickItem> view(qobject_cast<QQuickItem *>(component.create()));
    ASSERT_NE(view, nullptr) << component.errorString().toStdString();
    auto *image = view->findChild<NetImage *>();
    ASSERT_NE(image, nullptr);
    QSignalSpy finished(image, &NetImage::finished);
    view->setProperty("address", pictures.url("/large.png"));
    ASSERT_TRUE(waitUntil([&] { return finished.count() > 0; }));

    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    const QSize shown(static_cast<int>(std::ceil(70 * ratio)), static_cast<int>(std::ceil(44 * ratio)));
    EXPECT_TRUE(view->property("hasPicture").toBool());
    EXPECT_EQ(image->image().size(), QSize(1400, 880).scaled(shown, Qt::KeepAspectRatioByExpanding));
}
