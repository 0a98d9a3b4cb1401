#include "documents/ResultParser.h"

#include "common/HsLog.h"

ResultParser::~ResultParser()
{
    hsLog("result parser dealloc");
}

void ResultParser::startElement(std::string_view name)
{
    stopCapture();
    if (isResultElement(name))
        startCapture();
}

void ResultParser::endElement(std::string_view name)
{
    if (isResultElement(name))
        storeResultElement(name);
    stopCapture();
}
