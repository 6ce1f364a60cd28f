#include "platform/script/ScriptInterpreter.h"

#include "platform/script/ScriptDictionaries.h"
#include "platform/script/ScriptTokens.h"
#include "platform/services/Scripting.h"

#include <QStringList>
#include <cstdint>
#include <map>
#include <span>

namespace {

using Tokens = std::span<const ScriptToken>;

struct Expr {
    enum class Kind { Literal, Variable, List, Item, Command };
    Kind kind = Kind::Literal;
    ScriptValue literal;
    QString name;        // a variable's name in lower case, or a command's name
    QString application; // for a command
    std::vector<Expr> operands;
    int line = 0;
};

struct Statement {
    enum class Kind { Tell, Set, Return, Evaluate };
    Kind kind = Kind::Evaluate;
    QString application;
    std::vector<Statement> body;
    QString variable;
    std::optional<Expr> expr;
    int line = 0;
};

const QStringList kReservedWords = {QStringLiteral("tell"),   QStringLiteral("end"),
                                    QStringLiteral("set"),    QStringLiteral("to"),
                                    QStringLiteral("return"), QStringLiteral("of"),
                                    QStringLiteral("item"),   QStringLiteral("application"),
                                    QStringLiteral("true"),   QStringLiteral("false")};

const QLatin1String kPlaceholder("__value__");

bool isReserved(const ScriptToken& token) {
    return token.kind == ScriptToken::Kind::Word &&
           kReservedWords.contains(token.text, Qt::CaseInsensitive);
}

// A dictionary pattern as tokens, read once.
const std::vector<ScriptToken>& patternTokens(const DictionaryEntry& entry) {
    static std::map<const char*, std::vector<ScriptToken>> cache;
    auto found = cache.find(entry.pattern);
    if (found == cache.end()) {
        QString text = QString::fromLatin1(entry.pattern);
        text.replace(QLatin1String("%v"), kPlaceholder);
        auto tokens = TokenizeScript(text, nullptr).value_or(std::vector<ScriptToken>{});
        if (!tokens.empty())
            tokens.pop_back(); // the closing line end
        found = cache.emplace(entry.pattern, std::move(tokens)).first;
    }
    return found->second;
}

class SyntaxError {
public:
    SyntaxError(int line, QString message) : line(line), message(std::move(message)) {}
    int line;
    QString message;
};

QString describe(Tokens tokens) {
    QStringList words;
    for (const ScriptToken& token : tokens)
        words.append(token.kind == ScriptToken::Kind::Text ? QuotedScriptText(token.text)
                                                           : token.text);
    return words.join(u' ');
}

class Parser {
public:
    explicit Parser(const std::vector<ScriptToken>& tokens) {
        std::vector<ScriptToken> line;
        for (const ScriptToken& token : tokens) {
            if (token.kind != ScriptToken::Kind::LineEnd) {
                line.push_back(token);
            } else if (!line.empty()) {
                m_partners.push_back(partners(line));
                m_lines.push_back(std::move(line));
                line.clear();
            }
        }
    }

    std::vector<Statement> parse() {
        std::vector<Statement> statements = parseBlock(QString());
        if (m_next < m_lines.size())
            throw SyntaxError(m_lines[m_next].front().line,
                              QStringLiteral("\"end tell\" without a \"tell\""));
        return statements;
    }

private:
    static constexpr size_t kNoPartner = SIZE_MAX;

    // For each "(" or "{" of a line, the index of the ")" or "}" that closes it, found once so
    // that measuring a value never scans the line again. Each kind of bracket is matched on its
    // own, as a value's length has always been counted.
    static std::vector<size_t> partners(const std::vector<ScriptToken>& line) {
        std::vector<size_t> partner(line.size(), kNoPartner);
        std::vector<size_t> parens;
        std::vector<size_t> braces;
        for (size_t i = 0; i < line.size(); ++i) {
            const ScriptToken& token = line[i];
            if (token.isPunctuation(u'('))
                parens.push_back(i);
            else if (token.isPunctuation(u'{'))
                braces.push_back(i);
            else if (token.isPunctuation(u')') && !parens.empty()) {
                partner[parens.back()] = i;
                parens.pop_back();
            } else if (token.isPunctuation(u'}') && !braces.empty()) {
                partner[braces.back()] = i;
                braces.pop_back();
            }
        }
        return partner;
    }

    // Counts one level of nesting for as long as it lives; past the limit the script is refused
    // before the parser's own depth could exhaust the stack.
    class Nesting {
    public:
        Nesting(Parser& parser, int line) : m_parser(parser) {
            if (++m_parser.m_depth > kMaxScriptNesting) {
                --m_parser.m_depth;
                throw SyntaxError(line, QStringLiteral("the script nests deeper than %1 levels")
                                            .arg(kMaxScriptNesting));
            }
        }
        ~Nesting() { --m_parser.m_depth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
    };

    // Statements up to the end of the script, or up to the "end tell" of a tell block.
    std::vector<Statement> parseBlock(const QString& application) {
        std::vector<Statement> statements;
        while (m_next < m_lines.size()) {
            const Tokens line(m_lines[m_next]);
            if (line.size() == 2 && line[0].isWord(QLatin1String("end")) &&
                line[1].isWord(QLatin1String("tell"))) {
                if (application.isNull())
                    return statements;
                ++m_next;
                return statements;
            }
            m_line = m_next;
            ++m_next;
            if (line[0].isWord(QLatin1String("tell"))) {
                statements.push_back(parseTell(line));
                continue;
            }
            statements.push_back(parseStatement(line, application));
        }
        if (!application.isNull())
            throw SyntaxError(
                m_lines.back().back().line,
                QStringLiteral("the tell block of \"%1\" has no \"end tell\"").arg(application));
        return statements;
    }

    Statement parseTell(Tokens line) {
        if (line.size() < 3 || !line[1].isWord(QLatin1String("application")) ||
            line[2].kind != ScriptToken::Kind::Text)
            throw SyntaxError(line[0].line,
                              QStringLiteral("a tell names an application: tell application "
                                             "\"Name\""));
        const Nesting nesting(*this, line[0].line);
        Statement tell;
        tell.kind = Statement::Kind::Tell;
        tell.application = line[2].text;
        tell.line = line[0].line;
        if (line.size() == 3) {
            tell.body = parseBlock(tell.application);
            return tell;
        }
        if (!line[3].isWord(QLatin1String("to")) || line.size() == 4)
            throw SyntaxError(line[0].line,
                              QStringLiteral("\"%1\" is not a statement").arg(describe(line)));
        tell.body.push_back(parseStatement(line.subspan(4), tell.application));
        return tell;
    }

    Statement parseStatement(Tokens line, const QString& application) {
        Statement statement;
        statement.line = line[0].line;
        if (auto command = matchCommand(line, application)) {
            statement.expr = std::move(*command);
            return statement;
        }
        if (line[0].isWord(QLatin1String("set"))) {
            if (line.size() < 4 || line[1].kind != ScriptToken::Kind::Word || isReserved(line[1]) ||
                !line[2].isWord(QLatin1String("to")))
                throw unknownStatement(line);
            statement.kind = Statement::Kind::Set;
            statement.variable = line[1].text.toLower();
            statement.expr = parseExpr(line.subspan(3), application);
            return statement;
        }
        if (line[0].isWord(QLatin1String("return"))) {
            statement.kind = Statement::Kind::Return;
            if (line.size() > 1)
                statement.expr = parseExpr(line.subspan(1), application);
            return statement;
        }
        statement.expr = parseExpr(line, application, /*wholeStatement=*/true);
        return statement;
    }

    static SyntaxError unknownStatement(Tokens line) {
        return SyntaxError(line[0].line, QStringLiteral("\"%1\" is not a statement this dialect "
                                                        "knows")
                                             .arg(describe(line)));
    }

    // The number of tokens of the one value starting at `start`, or 0. `tokens` lies in the line
    // being parsed.
    size_t atomLength(Tokens tokens, size_t start) const {
        if (start >= tokens.size())
            return 0;
        const ScriptToken& first = tokens[start];
        if (first.isPunctuation(u'(') || first.isPunctuation(u'{')) {
            const size_t at = size_t(&first - m_lines[m_line].data());
            const size_t close = m_partners[m_line][at];
            if (close == kNoPartner || close - at >= tokens.size() - start)
                return 0;
            return close - at + 1;
        }
        if (first.isPunctuation(u'-'))
            return start + 1 < tokens.size() && tokens[start + 1].kind == ScriptToken::Kind::Integer
                       ? 2
                       : 0;
        return first.kind == ScriptToken::Kind::Punctuation ? 0 : 1;
    }

    std::optional<Expr> matchCommand(Tokens tokens, const QString& application) {
        if (application.isNull())
            return std::nullopt;
        for (const DictionaryEntry& entry : DictionaryForApplication(application)) {
            const std::vector<ScriptToken>& pattern = patternTokens(entry);
            // The values are parsed only once the whole pattern matches: parsing them for every
            // entry tried would cost a power of the nesting depth.
            std::vector<Tokens> values;
            size_t at = 0;
            bool matched = true;
            for (const ScriptToken& wanted : pattern) {
                if (wanted.isWord(kPlaceholder)) {
                    const size_t length = atomLength(tokens, at);
                    if (length == 0) {
                        matched = false;
                        break;
                    }
                    values.push_back(tokens.subspan(at, length));
                    at += length;
                    continue;
                }
                if (at >= tokens.size() || tokens[at].kind != wanted.kind ||
                    tokens[at].text.compare(wanted.text, Qt::CaseInsensitive) != 0) {
                    matched = false;
                    break;
                }
                ++at;
            }
            if (matched && at == tokens.size()) {
                Expr command;
                command.kind = Expr::Kind::Command;
                command.name = QString(entry.command);
                command.application = application;
                for (const Tokens value : values)
                    command.operands.push_back(parseExpr(value, application));
                command.line = tokens[0].line;
                return command;
            }
        }
        return std::nullopt;
    }

    Expr parseExpr(Tokens tokens, const QString& application, bool wholeStatement = false) {
        const int line = tokens[0].line;
        const Nesting nesting(*this, line);
        auto fail = [&]() -> SyntaxError {
            return wholeStatement ? unknownStatement(tokens)
                                  : SyntaxError(line, QStringLiteral("\"%1\" is not a value this "
                                                                     "dialect knows")
                                                          .arg(describe(tokens)));
        };
        const size_t first = atomLength(tokens, 0);
        if (first == tokens.size() && tokens[0].isPunctuation(u'('))
            return tokens.size() > 2 ? parseExpr(tokens.subspan(1, tokens.size() - 2), application)
                                     : throw fail();
        if (auto command = matchCommand(tokens, application))
            return std::move(*command);
        if (tokens[0].isWord(QLatin1String("item"))) {
            const size_t index = atomLength(tokens, 1);
            if (index == 0 || 1 + index + 1 >= tokens.size() ||
                !tokens[1 + index].isWord(QLatin1String("of")))
                throw fail();
            Expr item;
            item.kind = Expr::Kind::Item;
            item.line = line;
            item.operands.push_back(parseExpr(tokens.subspan(1, index), application));
            item.operands.push_back(parseExpr(tokens.subspan(2 + index), application));
            return item;
        }
        if (first != tokens.size())
            throw fail();
        Expr value;
        value.line = line;
        const ScriptToken& token = tokens[0];
        switch (token.kind) {
        case ScriptToken::Kind::Text:
            value.literal = ScriptValue::text(token.text);
            return value;
        case ScriptToken::Kind::Integer:
            return integerLiteral(token.text, line, fail);
        case ScriptToken::Kind::Word:
            if (token.isWord(QLatin1String("true")) || token.isWord(QLatin1String("false"))) {
                value.literal = ScriptValue::boolean(token.isWord(QLatin1String("true")));
                return value;
            }
            if (isReserved(token) || tokens.size() != 1)
                throw fail();
            value.kind = Expr::Kind::Variable;
            value.name = token.text.toLower();
            return value;
        case ScriptToken::Kind::Punctuation:
            if (token.isPunctuation(u'-'))
                return integerLiteral(u'-' + tokens[1].text, line, fail);
            if (token.isPunctuation(u'{'))
                return parseList(tokens.subspan(1, tokens.size() - 2), application, line);
            break;
        case ScriptToken::Kind::LineEnd:
            break;
        }
        throw fail();
    }

    template <typename Fail>
    static Expr integerLiteral(const QString& digits, int line, Fail fail) {
        bool ok = false;
        const long long number = digits.toLongLong(&ok);
        if (!ok)
            throw fail();
        Expr value;
        value.line = line;
        value.literal = ScriptValue::integer(number);
        return value;
    }

    Expr parseList(Tokens inside, const QString& application, int line) {
        Expr list;
        list.kind = Expr::Kind::List;
        list.line = line;
        size_t start = 0;
        while (start < inside.size()) {
            size_t end = start;
            while (end < inside.size() && !inside[end].isPunctuation(u',')) {
                const size_t length = atomLength(inside, end);
                end += length == 0 ? 1 : length;
            }
            if (end == start)
                throw SyntaxError(line, QStringLiteral("a list item is missing"));
            list.operands.push_back(parseExpr(inside.subspan(start, end - start), application));
            start = end + 1;
            if (end < inside.size() && start == inside.size())
                throw SyntaxError(line, QStringLiteral("a list item is missing"));
        }
        return list;
    }

    std::vector<std::vector<ScriptToken>> m_lines;
    std::vector<std::vector<size_t>> m_partners; // by line, as partners() gives them
    size_t m_next = 0;                           // the next line to read
    size_t m_line = 0;                           // the line being parsed
    int m_depth = 0;
};

struct RunFailure {
    ScriptFailure failure;
};

struct ReturnNow {
    ScriptValue value;
};

class Runner {
public:
    explicit Runner(platform::ScriptingService& applications) : m_applications(applications) {}

    ScriptValue run(const std::vector<Statement>& statements) {
        ScriptValue last;
        for (const Statement& statement : statements)
            last = run(statement);
        return last;
    }

private:
    ScriptValue run(const Statement& statement) {
        switch (statement.kind) {
        case Statement::Kind::Tell:
            requireApplication(statement.application);
            return run(statement.body);
        case Statement::Kind::Set: {
            ScriptValue value = evaluate(*statement.expr);
            m_variables[statement.variable] = value;
            return value;
        }
        case Statement::Kind::Return:
            throw ReturnNow{statement.expr ? evaluate(*statement.expr) : ScriptValue()};
        case Statement::Kind::Evaluate:
            break;
        }
        return evaluate(*statement.expr);
    }

    platform::ScriptApplication& requireApplication(const QString& name) {
        platform::ScriptApplication* application = m_applications.application(name);
        if (!application)
            throw RunFailure{
                {procNotFound, QStringLiteral("Application \"%1\" isn't there.").arg(name)}};
        return *application;
    }

    ScriptValue evaluate(const Expr& expr) {
        switch (expr.kind) {
        case Expr::Kind::Literal:
            return expr.literal;
        case Expr::Kind::Variable: {
            const auto found = m_variables.find(expr.name);
            if (found == m_variables.end())
                throw RunFailure{
                    {errOSAUndefinedVariable,
                     QStringLiteral("The variable %1 is not defined.").arg(expr.name)}};
            return found->second;
        }
        case Expr::Kind::List: {
            std::vector<ScriptValue> items;
            for (const Expr& item : expr.operands)
                items.push_back(evaluate(item));
            return ScriptValue::list(std::move(items));
        }
        case Expr::Kind::Item:
            return item(evaluate(expr.operands[0]), evaluate(expr.operands[1]));
        case Expr::Kind::Command:
            break;
        }
        platform::ScriptApplication& application = requireApplication(expr.application);
        std::vector<ScriptValue> arguments;
        for (const Expr& argument : expr.operands)
            arguments.push_back(evaluate(argument));
        platform::ScriptReply reply = application.perform(expr.name, arguments);
        if (reply.status != noErr)
            throw RunFailure{
                {reply.status, reply.errorMessage.isEmpty()
                                   ? QStringLiteral("%1 got an error.").arg(expr.application)
                                   : reply.errorMessage}};
        return reply.value;
    }

    static ScriptValue item(const ScriptValue& index, const ScriptValue& container) {
        const auto count = static_cast<long long>(container.items().size());
        long long n = index.kind() == ScriptValue::Kind::Integer ? index.toInteger() : 0;
        if (n < 0)
            n += count + 1;
        if (container.kind() != ScriptValue::Kind::List || n < 1 || n > count)
            throw RunFailure{
                {errAENoSuchObject, QStringLiteral("Can't get item %1 of %2.")
                                        .arg(index.displayForm().value_or(QString()),
                                             container.displayForm().value_or(QString()))}};
        return container.items()[size_t(n - 1)];
    }

    platform::ScriptingService& m_applications;
    std::map<QString, ScriptValue> m_variables;
};

} // namespace

struct CompiledScript::Program {
    std::vector<Statement> statements;
};

CompiledScript::CompiledScript(std::shared_ptr<const Program> program)
    : m_program(std::move(program)) {}

std::variant<CompiledScript, ScriptFailure> CompileScript(const QString& source) {
    ScriptSyntaxError tokenError{0, QString()};
    const auto tokens = TokenizeScript(source, &tokenError);
    if (!tokens)
        return ScriptFailure{errOSASyntaxError, QStringLiteral("Syntax error on line %1: %2")
                                                    .arg(tokenError.line)
                                                    .arg(tokenError.message)};
    try {
        auto program = std::make_shared<CompiledScript::Program>();
        program->statements = Parser(*tokens).parse();
        return CompiledScript(std::move(program));
    } catch (const SyntaxError& error) {
        return ScriptFailure{
            errOSASyntaxError,
            QStringLiteral("Syntax error on line %1: %2").arg(error.line).arg(error.message)};
    }
}

std::variant<ScriptValue, ScriptFailure> ExecuteScript(const CompiledScript& script,
                                                       platform::ScriptingService& applications) {
    Runner runner(applications);
    try {
        return runner.run(script.program().statements);
    } catch (const ReturnNow& returned) {
        return returned.value;
    } catch (const RunFailure& failed) {
        return failed.failure;
    }
}
