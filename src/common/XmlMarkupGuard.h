#pragma once

#include <cstddef>
#include <string_view>

// The XML library spends time that grows with the square of some counts in its input: the
// attributes of one element (each is checked against the others), the namespace declarations in
// scope, the distinct names of a document (its name dictionary) and, in a document type
// declaration, its declarations and the parameter entities it expands. No message of this
// protocol comes near any of these counts, so an input that exceeds one is refused before the
// library sees it. The check is one pass over the bytes that reads just enough of the markup to
// count: it skips text, comments, CDATA sections, processing instructions and quoted values the
// way the library does, so nothing hidden in them is counted and nothing the library reads as
// markup is missed.
//
// Where the input stops being well-formed the check stops and accepts: the library stops at that
// same point (its readers are told to halt at their first fatal error), before anything beyond
// it costs time.

struct XmlMarkupLimits
{
    size_t attributesPerElement = 32;
    // Over the whole input, since declarations stay in scope for everything nested below them.
    size_t namespaceDeclarations = 64;
    // Element, attribute, entity and processing-instruction names, each counted once.
    size_t distinctNames = 16384;
    // The whole document type declaration; 0 refuses any.
    size_t doctypeBytes = 256 * 1024;
};

enum class XmlMarkupVerdict
{
    accepted,
    tooManyAttributes,
    tooManyNamespaces,
    tooManyNames,
    doctypeRefused,
    doctypeTooLarge,
    parameterEntity,
    markupInEntity,
    unsupportedEncoding,
};

// What is wrong with an input the check refused, in a few words; empty for an accepted one.
const char *hsXmlMarkupProblem(XmlMarkupVerdict verdict);

// Checks the markup of one input (the bytes as received) against the limits, in time linear in
// its size. An input in another encoding than UTF-8 is refused, as the reader refuses it.
XmlMarkupVerdict hsCheckXmlMarkup(std::string_view input, const XmlMarkupLimits &limits = {});
