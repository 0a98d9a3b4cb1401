#include "common/XmlMarkupGuard.h"
#include "documents/GetNewsesParser.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <string>

namespace {

constexpr std::array titleStarts = {"关于", "我校", "三年级二班", "家长委员会", "教务处", "学校卫生室"};
constexpr std::array titleSubjects = {"期中考试安排", "春季运动会",   "秋季开学注意事项", "防溺水安全教育",
                                      "家长开放日",   "课后服务报名", "流感预防知识",     "校服征订"};
constexpr std::array titleEnds = {"的通知", "的温馨提示", "活动圆满结束", "报名开始啦", "有关事项说明"};

std::string headline(size_t index)
{
    return std::string(titleStarts[index % titleStarts.size()]) +
           titleSubjects[index % titleSubjects.size()] + titleEnds[index % titleEnds.size()];
}

// A headline list as the service sends it: compact, one "News" element per headline.
std::string headlineDocument(size_t count)
{
    std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Result><Code>0</Code><Error></Error>";
    for (size_t i = 0; i < count; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "2013-%02zu-%02zu 08:30:00", i % 12 + 1, i % 28 + 1);
        document += "<News><NewsId>" + std::to_string(1000 + i) + "</NewsId><NewsTitle>" + headline(i) +
                    "</NewsTitle><ForceReturn>" + std::to_string(i % 3 == 0) + "</ForceReturn><PublicDate>" +
                    date + "</PublicDate></News>";
    }
    return document + "</Result>";
}

void ignoreStart(void *, const xmlChar *, const xmlChar **) {}
void ignoreEnd(void *, const xmlChar *) {}
void ignoreText(void *, const xmlChar *, int) {}

// The same reader set-up as the document parsers use, with handlers that do nothing.
void bareReaderPass(const std::string &document)
{
    xmlParserCtxtPtr context = xmlCreateMemoryParserCtxt(document.data(), static_cast<int>(document.size()));
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    xmlSAXVersion(&handler, 1);
    handler.startElement = ignoreStart;
    handler.endElement = ignoreEnd;
    handler.characters = ignoreText;
    handler.ignorableWhitespace = ignoreText;
    handler.cdataBlock = ignoreText;
    handler.reference = nullptr;
    handler.comment = nullptr;
    handler.processingInstruction = nullptr;
    handler.warning = nullptr;
    handler.error = nullptr;
    handler.fatalError = nullptr;
    xmlSAXHandlerPtr ownHandler = context->sax;
    context->sax = &handler;
    xmlCtxtUseOptions(context, XML_PARSE_NONET);
    xmlParseDocument(context);
    if (context->myDoc != nullptr)
        xmlFreeDoc(context->myDoc);
    context->myDoc = nullptr;
    context->sax = ownHandler;
    xmlFreeParserCtxt(context);
}

void BM_BareReader(benchmark::State &state)
{
    const std::string document = headlineDocument(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
        bareReaderPass(document);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}

void BM_GetNewsesParser(benchmark::State &state)
{
    const std::string document = headlineDocument(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        GetNewsesParser parser;
        hsParseDocument(document, parser);
        benchmark::DoNotOptimize(parser.newses().data());
        if (parser.newses().size() != static_cast<size_t>(state.range(0)))
            state.SkipWithError("the document was not read whole");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}

// The markup check that every answer and every request passes before the XML library reads it.
void BM_MarkupCheck(benchmark::State &state)
{
    const std::string document = headlineDocument(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        if (hsCheckXmlMarkup(document) != XmlMarkupVerdict::accepted)
            state.SkipWithError("the document was refused");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}

} // namespace

BENCHMARK(BM_MarkupCheck)->Arg(20)->Arg(10'000);
BENCHMARK(BM_BareReader)->Arg(20)->Arg(10'000);
BENCHMARK(BM_GetNewsesParser)->Arg(20)->Arg(10'000);

int main(int argc, char **argv)
{
    // Diagnostic lines are switched off, as they can be in use: formatting them (the parser's
    // line when it goes) would measure the log, not the reading.
    setenv("HSSCHOOL_QUIET", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
