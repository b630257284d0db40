#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <type_traits>

// Lenient conversions between JSON members and model fields, as the service's answers need them:
// numbers may arrive as numeric strings, flags as "yes"/"true"/"no"/"false" or numbers, texts as
// numbers. A null, missing or unconvertible member leaves the field as it was (read answers false);
// so does a number that does not fit the field (never a wrapped or undefined conversion), except
// that a negative number reads as 0 into an unsigned field. An absent text is a null QString and is
// left out when written.
namespace VelquorJsonConvert {

bool read(const QJsonValue &value, QString &target);
bool read(const QJsonValue &value, qint64 &target);
bool read(const QJsonValue &value, quint64 &target);
bool read(const QJsonValue &value, double &target);
bool read(const QJsonValue &value, float &target);
bool read(const QJsonValue &value, bool &target);

QJsonValue write(const QString &value);
QJsonValue write(qint64 value);
// As a JSON number (a double), as every other number is written.
QJsonValue write(quint64 value);
QJsonValue write(double value);
QJsonValue write(float value);
QJsonValue write(bool value);

template <class Element> Element elementFromJson(const QJsonObject &object)
{
    if constexpr (requires { typename Element::element_type; }) {
        using Model = typename Element::element_type;
        if constexpr (std::is_convertible_v<decltype(Model::fromJson(object)), Element>)
            return Model::fromJson(object);
        else
            return std::make_shared<Model>(Model::fromJson(object));
    } else {
        return Element::fromJson(object);
    }
}

template <class Element> QJsonObject elementToJson(const Element &element)
{
    if constexpr (requires { typename Element::element_type; })
        return element ? element->toJson() : QJsonObject();
    else
        return element.toJson();
}

// An array of models: one new element per JSON object of the array; other array items are skipped.
template <class Element> bool read(const QJsonValue &value, QList<Element> &target)
{
    if (!value.isArray())
        return false;
    QList<Element> elements;
    for (const QJsonValue &item : value.toArray()) {
        if (item.isObject())
            elements.append(elementFromJson<Element>(item.toObject()));
    }
    target = elements;
    return true;
}

// A nested model held by reference.
template <class Model> bool read(const QJsonValue &value, std::shared_ptr<Model> &target)
{
    if (!value.isObject())
        return false;
    target = elementFromJson<std::shared_ptr<Model>>(value.toObject());
    return true;
}

template <class Element> QJsonValue write(const QList<Element> &elements)
{
    QJsonArray array;
    for (const Element &element : elements)
        array.append(elementToJson(element));
    return array;
}

template <class Model> QJsonValue write(const std::shared_ptr<Model> &model)
{
    return model ? QJsonValue(model->toJson()) : QJsonValue(QJsonValue::Undefined);
}

} // namespace VelquorJsonConvert

// A model's field table: property name, JSON key (the property name unless renamed) and the field.
// One table per model class serves reading answers, writing requests and keyed archiving, so the
// conversion rules live only in VelquorJsonConvert.
template <class Model> class VelquorJsonMapping
{
public:
    template <class Value, class Owner>
    VelquorJsonMapping &field(const QString &property, Value Owner::*member, const QString &key = {})
    {
        static_assert(std::is_base_of_v<Owner, Model>);
        Field entry;
        entry.property = property;
        entry.key = key.isEmpty() ? property : key;
        entry.read = [member](Model &model, const QJsonValue &value) {
            VelquorJsonConvert::read(value, static_cast<Owner &>(model).*member);
        };
        entry.write = [member](const Model &model) {
            return VelquorJsonConvert::write(static_cast<const Owner &>(model).*member);
        };
        m_fields.append(entry);
        return *this;
    }

    // Reads the members named by the JSON keys; others are ignored.
    void fill(Model &model, const QJsonObject &object) const { fillByName(model, object, false); }
    // Every field that has a value, under its JSON key.
    QJsonObject toJson(const Model &model) const { return toObject(model, false); }

    // Keyed archive form: every field under its property name, tagged with the class name so that
    // decoding accepts only the expected model.
    QJsonObject toArchive(const Model &model, const QString &className) const
    {
        QJsonObject object = toObject(model, true);
        object.insert(classKey(), className);
        return object;
    }
    bool fillFromArchive(Model &model, const QJsonValue &archive, const QString &className) const
    {
        if (!archive.isObject() || archive.toObject().value(classKey()).toString() != className)
            return false;
        fillByName(model, archive.toObject(), true);
        return true;
    }

    // Property name -> JSON key, for the fields that are renamed.
    QHash<QString, QString> replacedKeys() const
    {
        QHash<QString, QString> keys;
        for (const Field &entry : m_fields) {
            if (entry.key != entry.property)
                keys.insert(entry.property, entry.key);
        }
        return keys;
    }

private:
    struct Field
    {
        QString property;
        QString key;
        std::function<void(Model &, const QJsonValue &)> read;
        std::function<QJsonValue(const Model &)> write;
    };

    static QString classKey() { return QStringLiteral("$class"); }

    void fillByName(Model &model, const QJsonObject &object, bool byProperty) const
    {
        for (const Field &entry : m_fields) {
            const auto found = object.constFind(byProperty ? entry.property : entry.key);
            if (found != object.constEnd())
                entry.read(model, *found);
        }
    }

    QJsonObject toObject(const Model &model, bool byProperty) const
    {
        QJsonObject object;
        for (const Field &entry : m_fields) {
            const QJsonValue value = entry.write(model);
            if (!value.isUndefined())
                object.insert(byProperty ? entry.property : entry.key, value);
        }
        return object;
    }

    QList<Field> m_fields;
};

// Gives a model the JSON operations of its table (`static const VelquorJsonMapping<Model> &mapping()`).
template <class Model> class VelquorJsonModel
{
public:
    static Model fromJson(const QJsonObject &object)
    {
        Model model;
        Model::mapping().fill(model, object);
        return model;
    }
    void setValuesFromJson(const QJsonObject &object) { Model::mapping().fill(static_cast<Model &>(*this), object); }
    QJsonObject toJson() const { return Model::mapping().toJson(static_cast<const Model &>(*this)); }
};
