#include "AppTestSupport.h"
#include "PictureServer.h"
#include "settings_canned_service.h"
#include "widgets/NetImage.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QByteArray kRedPicture = PictureServer::png(QSize(16, 10), Qt::red);
const QByteArray kBluePicture = PictureServer::png(QSize(8, 8), Qt::blue);

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
    const struct
    {
        QString address;
        bool picture, logged;
    } cases[] = {
        {pictures.url("/red.png"), true, false},
        {pictures.url("/missing.png"), false, false},
        {pictures.url("/empty.png"), false, false},
        {pictures.url("/text.png"), false, false},
        {QString::fromStdString(closedEndpoint()), false, true},
        {QString(), false, true},
        {QStringLiteral("not an address"), false, true},
    };
    for (const auto &c : cases) {
        LogCapture log;
        NetImage image;
        image.setClearsOnLoad(true);
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
    image.setClearsOnLoad(true);
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
