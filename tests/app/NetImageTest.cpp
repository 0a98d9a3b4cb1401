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

// Sizes in failure messages as width x height.
void PrintTo(const QSize &size, std::ostream *out)
{
    *out << size.width() << "x" << size.height();
}

namespace {

const QByteArray kRedPicture = PictureServer::png(QSize(16, 10), Qt::red);
const QByteArray kBluePicture = PictureServer::png(QSize(8, 8), Qt::blue);

// The red picture followed by zero bytes up to `bytes` in all, which decoders read past.
QByteArray paddedPicture(qint64 bytes)
{
    QByteArray body = kRedPicture;
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
        pictures.answer("/red.png", 200, kRedPicture);
        pictures.answer("/blue.png", 200, kBluePicture);
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

TEST_F(NetImageTest, OnlyAPictureBodyGivesAPictureAndEveryLoadEndsIdle)
{
    pictures.answer("/missing.png", 404, "<html><body>Not Found</body></html>", "text/html");
    pictures.answer("/empty.png", 200, {});
    pictures.answer("/text.png", 200, "this is no picture", "text/plain");
    const ClosedPort closed;
    const struct
    {
        QString address;
        bool picture, logged;
    } cases[] = {
        {pictures.url("/red.png"), true, false},
        {pictures.url("/missing.png"), false, false},
        {pictures.url("/empty.png"), false, false},
        {pictures.url("/text.png"), false, false},
        {QString::fromStdString(closed.url()), false, true},
        {QString(), false, true},
        {QStringLiteral("not an address"), false, true},
    };
    for (const auto &c : cases) {
        LogCapture log;
        NetImage image;
        image.setProperty("clearsOnLoad", true);
        load(image, c.address);
        SCOPED_TRACE(c.address.toStdString());
        EXPECT_EQ(image.hasPicture(), c.picture);
        EXPECT_FALSE(image.isLoading());
        EXPECT_EQ(image.httpRequest(), nullptr);
        EXPECT_EQ(!log.lines().empty(), c.logged);
    }
}

// The same address loaded again reaches the server again: pictures are not kept by address.
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
    EXPECT_EQ(image.image().size(), QSize(8, 8));
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

// A body up to the limit is a picture like any other; one byte more is a failed load, whether its
// length is announced or it just keeps coming. The load is given up while the body arrives, so
// the server never gets to send most of a long one, and none past the limit of one whose length
// was announced.
TEST_F(NetImageTest, ABodyOverTheLimitIsAFailedLoadGivenUpWhileItArrives)
{
    const qint64 limit = NetImage::kMaxPictureBytes;
    pictures.answer("/at-limit.png", 200, paddedPicture(limit));
    pictures.answer("/over-limit.png", 200, paddedPicture(limit + 1));
    pictures.answerStreamed("/announced.png", 8 * limit, true);
    pictures.answerStreamed("/unannounced.png", 8 * limit, false);
    const struct
    {
        const char *path;
        bool picture;
    } cases[] = {
        {"/at-limit.png", true},
        {"/over-limit.png", false},
        {"/announced.png", false},
        {"/unannounced.png", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        LogCapture log;
        NetImage image;
        load(image, pictures.url(c.path));
        EXPECT_EQ(image.hasPicture(), c.picture);
        EXPECT_EQ(log.lines().empty(), c.picture);
        EXPECT_FALSE(image.isLoading());
    }
    EXPECT_LT(pictures.sentOf("/announced.png"), limit);
    EXPECT_LT(pictures.sentOf("/unannounced.png"), 2 * limit);
}

// A picture is decoded only as large as it takes to cover the size it is shown at with its own
// proportions (as it is drawn), never larger than it is, and whole when no size is given.
TEST_F(NetImageTest, APictureIsDecodedAtTheSizeThatCoversWhereItIsShown)
{
    pictures.answer("/wide.png", 200, PictureServer::png(QSize(400, 200), Qt::green));
    pictures.answer("/wide.jpg", 200, jpeg(QSize(400, 200)), "image/jpeg");
    const struct
    {
        const char *path;
        QSize shown, decoded;
    } cases[] = {
        {"/wide.png", {50, 50}, {100, 50}},    {"/wide.png", {80, 20}, {80, 40}},
        {"/wide.png", {800, 800}, {400, 200}}, {"/wide.png", {}, {400, 200}},
        {"/wide.jpg", {60, 10}, {60, 30}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.path << " shown at " << c.shown.width() << "x" << c.shown.height());
        NetImage image;
        image.setProperty("shownSize", c.shown);
        load(image, pictures.url(c.path));
        EXPECT_EQ(image.image().size(), c.decoded);
    }
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
