#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <string_view>

// Left alone, the XML library prints what it finds wrong with an input on standard error. It
// raises its reports in two ways: those about the markup name the reader's context, while those
// about the bytes beneath it (an input that does not convert from the encoding it declares, and
// the input error that follows) name none and reach only the thread's handler. The thread's
// handler also takes precedence over a context's own, so a read routes every report it causes
// by setting the thread's handler for its own duration; afterwards the thread has its former
// handler back.
class XmlReadErrorScope
{
public:
    XmlReadErrorScope(xmlStructuredErrorFunc handler, void *data)
        : m_formerHandler(xmlStructuredError), m_formerData(xmlStructuredErrorContext)
    {
        xmlSetStructuredErrorFunc(data, handler);
    }
    ~XmlReadErrorScope() { xmlSetStructuredErrorFunc(m_formerData, m_formerHandler); }
    XmlReadErrorScope(const XmlReadErrorScope &) = delete;
    XmlReadErrorScope &operator=(const XmlReadErrorScope &) = delete;

private:
    xmlStructuredErrorFunc m_formerHandler;
    void *m_formerData;
};

// The report's message without the line end the library puts after it.
inline std::string_view hsXmlErrorText(const xmlError *error)
{
    std::string_view text = error != nullptr && error->message != nullptr ? error->message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

// Stops the reader that raised a fatal error. Left alone, it would read on to the end of the
// input with its handlers silenced, spending time on an input that is refused anyway.
inline void hsStopAtFatalError(const xmlError *error)
{
    if (error != nullptr && error->level == XML_ERR_FATAL && error->domain == XML_FROM_PARSER &&
        error->ctxt != nullptr)
        xmlStopParser(static_cast<xmlParserCtxtPtr>(error->ctxt));
}
