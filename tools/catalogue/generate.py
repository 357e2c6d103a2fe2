#!/usr/bin/python3
"""Writes the listing-form catalogue (qml/platform/general/module/databaseResources/database.json).

The file is a JSON array of cards, one card per line, in the order the forms show them:
  card   := {id, title, trade_type, property_type, single_select, position, inputs: [input],
             toggles: [toggle], stepper?: input}
  input  := {id, key, parent_key, title, request_title, input_type, filter_type, max_length,
             currency, single_line, filter, visible, offline_name, offline_request_name}
  toggle := {id, key, parent_key, title, request_title, visible, offline_name,
             offline_request_name, attachedInputs?: [input], attachedToggles?: [toggle]}
Every occurrence of a field or toggle is written in full and identically, since the seeding
keeps whichever occurrence it meets first.

Usage: generate.py            rewrite the shipped file
       generate.py --check    exit 1 when the shipped file differs from what this script writes
"""
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TARGET = os.path.join(HERE, '..', '..', 'qml', 'platform', 'general', 'module',
                      'databaseResources', 'database.json')

# id, key, parent_key, input_type, filter_type, max_length, currency, single_line, filter,
# title, request_title (None when it is the title)
INPUTS = [
    (1, 'manual', 'code', 1, 1, 9, 0, 1, 0, 'شناسه فایل', None),
    (2, 'name_family', 'customer', 1, 0, 50, 0, 1, 0, 'نام مالک', 'نام متقاضی'),
    (3, 'mobile_1', 'customer', 3, 1, 15, 0, 1, 0, 'شماره همراه', None),
    (4, 'mobile_2', 'customer', 3, 1, 15, 0, 1, 0, 'شماره همراه 2', None),
    (5, 'phone_1', 'customer', 3, 1, 15, 0, 1, 0, 'تلفن ثابت', None),
    (6, 'phone_2', 'customer', 3, 1, 15, 0, 1, 0, 'تلفن ثابت 2', None),
    (7, 'area', 'meter', 3, 2, 9, 0, 1, 1, 'متراژ زمین', None),
    (8, 'home', 'meter', 3, 2, 5, 0, 1, 1, 'متراژ بنا', None),
    (9, 'floor_space', 'info', 2, 2, 5, 0, 1, 1, 'متراژ کف مغازه', None),
    (10, 'dahane', 'info', 3, 0, 5, 0, 1, 0, 'دهنه مغازه (متر)', None),
    (11, 'balcony', 'info', 3, 0, 5, 0, 1, 0, 'متراژ بالکن', None),
    (12, 'warehouse', 'info', 3, 0, 5, 0, 1, 0, 'انبار تجاری', None),
    (13, 'sahm', 'info', 3, 0, 5, 0, 1, 0, 'قدرالسهم', None),
    (14, 'crossing', 'meter', 3, 0, 5, 0, 1, 0, 'عرض گذر', None),
    (15, 'building', 'meter', 3, 0, 5, 0, 1, 0, 'عرض ملک', None),
    (16, 'corrective', 'meter', 3, 1, 5, 0, 1, 0, 'اصلاحی', None),
    (17, 'room', 'info', 2, 2, 3, 0, 1, 1, 'تعداد اتاق', None),
    (18, 'floor_one', 'info', 3, 2, 2, 0, 1, 1, 'طبقه', None),
    (19, 'floor_all', 'info', 2, 0, 2, 0, 1, 0, 'کل طبقات ساختمان', None),
    (20, 'unit_one', 'info', 2, 2, 3, 0, 1, 1, 'تعداد واحد در طبقه', None),
    (21, 'unit_all', 'info', 2, 1, 3, 0, 1, 0, 'تعداد کل واحدها', None),
    (22, 'build_year', 'info', 2, 2, 4, 0, 1, 1, 'سال ساخت', 'حداکثر سال ساخت'),
    (23, 'after_corrective', 'meter', 3, 1, 5, 0, 1, 0, 'مانده پس از اصلاحی', None),
    (24, 'number_of_owners', 'info', 2, 0, 3, 0, 1, 0, 'تعداد مالکین', None),
    (25, 'manufacturer_share', 'info', 3, 0, 5, 0, 1, 0, 'سهم سازنده', None),
    (26, 'grant_amount', 'info', 2, 0, 17, 1, 1, 0, 'مبلغ بلاعوض', None),
    (27, 'amount_of_interest', 'info', 2, 0, 17, 1, 1, 0, 'مبلغ قرض الحسنه', None),
    (28, 'delivery', 'info', 2, 0, 3, 0, 1, 0, 'مدت تحویل', None),
    (29, 'num_person', 'info', 2, 0, 3, 0, 1, 0, 'تعداد نفرات', None),
    (30, 'price_1', 'price', 2, 2, 17, 1, 1, 0, 'قیمت هر متر', None),
    (31, 'price_2', 'price', 2, 2, 17, 1, 1, 1, 'قیمت کل', 'سقف مبلغ خرید'),
    (32, 'price_1', 'price', 2, 2, 17, 1, 1, 1, 'مبلغ رهن', 'سقف مبلغ رهن'),
    (33, 'price_2', 'price', 2, 2, 17, 1, 1, 1, 'مبلغ اجاره', 'سقف مبلغ اجاره'),
    (34, 'title', 'district', 1, 1, 20, 0, 1, 1, 'نام محله یا خیابان اصلی', 'مناطق درخواستی'),
    (35, 'address', 'info', 1, 0, 200, 0, 0, 0, 'آدرس دقیق', None),
    (36, 'name_family', 'guard', 1, 1, 50, 0, 1, 0, 'نام نگهبانی', None),
    (37, 'mobile_1', 'guard', 3, 1, 15, 0, 1, 0, 'تلفن نگهبانی', None),
    (38, 'num_parking', 'info', 2, 1, 2, 0, 0, 1, 'تعداد پارکینگ', None),
    (39, 'name', 'tenant', 1, 1, 50, 0, 1, 0, 'نام مستاجر', None),
    (40, 'phone', 'tenant', 3, 1, 15, 0, 1, 0, 'تلفن مستاجر', None),
    # The keys are the server's; the labels are what the agency's other clients show for them.
    (41, 'rent', 'tenant', 2, 0, 17, 1, 1, 0, 'مبلغ رهن', None),
    (42, 'mortgage', 'tenant', 2, 0, 17, 1, 1, 0, 'مبلغ اجاره', None),
    (43, 'due_date', 'tenant', 2, 0, 50, 0, 1, 0, 'تاریخ تخلیه', None),
    (44, 'loan', 'price', 2, 1, 17, 1, 1, 0, 'مبلغ وام', None),
]

# Groups in catalogue order; each entry is key, title[, request title].
TOGGLES = [
    ('trade', [(1, 'فروش'), (2, 'اجاره'), (3, 'مشارکت'), (4, 'پیش فروش'), (5, 'متقاضی خرید'),
               (6, 'متقاضی اجاره'), (7, 'متقاضی مشارکت'), (8, 'متقاضی پیش خرید')]),
    ('property', [(50, 'آپارتمان'), (51, 'ویلا'), (52, 'حیاط دار'), (53, 'زمین'), (54, 'دفتر کار'),
                  (55, 'مغازه'), (56, 'مستغلات'), (57, 'کلنگی'), (58, 'انبار'), (59, 'هتل'),
                  (60, 'باغ'), (61, 'دامداری'), (62, 'مرغداری'), (63, 'کارخانه'),
                  (64, 'کارگاه'), (65, 'سوله'), (66, 'زیر زمین'), (67, 'سالن')]),
    ('location', [(100, 'شمالی'), (101, 'جنوبی'), (102, 'شرقی'), (103, 'غربی'),
                  (104, 'داخل پاساژ'), (105, 'داخل بازار'), (106, 'داخل کوچه'), (107, 'براصلی')]),
    ('direction', [(110, 'شمالی'), (111, 'جنوبی'), (112, 'شرقی'), (113, 'غربی'), (114, 'میانی')]),
    ('trait', [(150, 'دوبلکس'), (151, 'پنت هاوس'), (152, 'لاکچری'), (153, 'فول امکانات'),
               (154, 'نشیمن مجزا'), (155, 'برج باغ'), (156, 'اختلاف سطح'), (157, 'بازسازی شده'),
               (158, 'دو نبش'), (159, 'دو دهنه'), (160, 'تجمیع'), (161, 'تودلی'), (162, 'بن بست'),
               (163, 'شهرکی'), (164, 'تریبلکس'), (165, 'ساحلی'), (166, 'جنگلی'), (167, 'براصلی'),
               (168, 'دربست'), (169, 'راه جدا'), (170, 'راه مشترک'), (171, 'خام')]),
    ('frontage', [(200, 'چوب'), (201, 'کلاسیک'), (202, 'مدرن'), (203, 'سنگ'), (204, 'سیمان'),
                  (205, 'آجر'), (206, 'کامپوزیت'), (207, 'شیشه'), (208, 'ترکیبی'),
                  (209, 'آجر 3 سانت'), (210, 'سرامیک'), (211, 'سیمان سفید')]),
    ('joints', [(250, 'آسانسور'), (251, 'لابی'), (252, 'روف گاردن'), (253, 'کارواش'),
                (254, 'سالن اجتماعات'), (255, 'سالن ورزشی'), (256, 'استخر'), (257, 'سونا'),
                (258, 'جکوزی')]),
    ('heat_cool', [(300, 'اسپلیت'), (301, 'داکت اسپلیت'), (302, 'کولر آبی'), (303, 'پکیج و رادیاتور'),
                   (304, 'گرمایش از کف'), (305, 'بخاری'), (306, 'هواساز'), (307, 'موتورخانه مرکزی'),
                   (308, 'چیلر')]),
    ('coverage', [(350, 'سرامیک'), (351, 'پارکت'), (352, 'موکت'), (353, 'سنگ'), (354, 'موزاییک'),
                  (355, 'سیمان')]),
    ('kitchen', [(400, 'ام دی اف'), (401, 'چوب'), (402, 'فلزی'), (403, 'جزیره'), (404, 'مدرن'),
                 (405, 'کلاسیک'), (406, 'صفحه سنگ'), (407, 'صفحه کورین'), (408, 'صفحه چوب'),
                 (409, 'اپن'), (410, 'لاندری'), (411, 'فول فرنیش'), (412, 'هود'), (413, 'گاز رومیزی'),
                 (414, 'مطبخ'), (415, 'هایگلس'), (416, 'ممبران'), (417, 'فر توکار')]),
    ('wc', [(450, 'ایرانی'), (451, 'فرنگی'), (452, 'وان'), (453, 'جکوزی')]),
    ('wall', [(500, 'نقاشی'), (501, 'گچ'), (502, 'سنگ'), (503, 'کاغذ دیواری'), (504, 'پارچه کوبی'),
              (505, 'چوبکاری'), (506, 'گچ بری'), (507, 'کناف'), (508, 'رابیتس'), (509, 'پتینه'),
              (510, 'ورق طلا'), (511, 'آینه کاری')]),
    ('facilities', [(550, 'تراس'), (551, 'خواب مستر'), (552, 'پاسیو'), (553, 'بالکن'),
                    (554, 'درب ضد سرقت'), (555, 'برق اضطراری'), (556, 'شومینه'),
                    (557, 'آیفون تصویری'), (558, 'کمد دیواری'), (559, 'انباری'),
                    (560, 'اینترنت مرکزی'), (561, 'ماهواره مرکزی'), (562, 'آنتن مرکزی'),
                    (563, 'شوتینگ زباله'), (564, 'جاروبرقی مرکزی'), (565, 'باربیکیو'),
                    (566, 'اطفای حریق'), (567, 'اعلام حریق'), (568, 'دوربین مداربسته'),
                    (569, 'نیمه مبل'), (570, 'مبله کامل'), (571, 'BMS'), (572, 'سوئیت مجزا'),
                    (573, 'درب ریموت دار'), (574, 'سرایداری'), (575, 'پنجره دو جداره'),
                    (576, 'لوستر'), (577, 'پرده'), (579, 'نور پردازی'), (580, 'حیاط اختصاصی'),
                    (581, 'آلاچیق')]),
    ('parking', [(650, 'پارکینگ مشاع'), (651, 'پارکینگ اختصاصی'), (652, 'پارکینگ مزاحم'),
                 (653, 'مسقف'), (654, 'غیر مسقف'), (655, 'باکس')]),
    ('condition', [(700, 'تخلیه'), (701, 'سکونت مستاجر'), (702, 'سکونت مالک'), (703, 'پایان کار'),
                   (704, 'قولنامه ای'), (705, 'سند دارد', 'سند دار'), (706, 'وام دارد', 'وام دار'),
                   (707, 'قابل معاوضه می باشد'), (708, 'وکالتی'), (709, 'شخصی'), (710, 'اوقافی'),
                   (711, 'بنیادی'), (712, 'آستانه'), (713, 'سرقفلی'), (714, 'ملکیت'),
                   (715, 'تراکم بالا'), (716, 'تراکم متوسط'), (717, 'تراکم پایین'),
                   (718, 'جواز دارد'), (719, 'دستور نقشه دارد'), (720, 'مشارکت در ساخت'),
                   (722, 'رهن و اجاره قابل تبدیل'), (723, 'مشاع'), (724, '6 دانگ'), (725, 'مفروز'),
                   (726, 'منگوله دار'), (727, 'تک برگ'), (728, 'اعیان'), (729, 'عرصه'),
                   (730, 'ورثه ای'), (731, 'المثنی'), (732, 'معارض'), (733, 'شورایی'),
                   (734, 'بنچاق'), (735, 'رهنی')]),
    ('points', [(750, 'آب'), (751, 'برق'), (752, 'گاز'), (753, 'تلفن')]),
    ('skeleton', [(850, 'فلزی جوشی'), (851, 'فلزی پیچ و مهره'), (852, 'اسکلت بتونی')]),
    ('roof', [(900, 'دال بتونی'), (901, 'کامپوزیت'), (902, 'عرشه فولادی'), (903, 'تیرچه و بلوک'),
              (904, 'تیرچه یونولیت'), (905, 'آجر ضربی'), (906, 'کششی'), (907, 'اسپانیش')]),
    ('progress', [(950, 'اسکلت'), (951, 'فوندانسیون'), (952, 'گودبرداری'), (953, 'تخریب'),
                  (954, 'نازک کاری'), (955, 'گچ و خاک'), (956, 'تاسیسات'), (957, 'تیغه چینی')]),
    ('terrain', [(1000, 'مسکونی'), (1001, 'تجاری'), (1002, 'باغ'), (1003, 'خدماتی'),
                 (1004, 'فرهنگی'), (1005, 'مزروعی'), (1006, 'صنعتی'), (1007, 'شهری'),
                 (1008, 'شهرکی')]),
]

# What opens under a toggle while it is chosen: the sitting tenant's details, the loan, the deed.
ATTACHED_INPUTS = {701: [39, 40, 41, 42, 43], 706: [44]}
ATTACHED_TOGGLES = {705: [708, 709, 710, 711, 712] + list(range(723, 736))}

# Option cards: title and toggle group. Both condition cards share the group.
CARD_KINDS = {
    'location': ('موقعیت ملک', 'location'),
    'direction': ('جهت واحد', 'direction'),
    'trait': ('مشخصه ملک', 'trait'),
    'frontage': ('نمای ساختمان', 'frontage'),
    'joints': ('مشاعات', 'joints'),
    'heat_cool': ('تاسیسات سرمایشی و گرمایشی', 'heat_cool'),
    'coverage': ('پوشش کف', 'coverage'),
    'kitchen': ('آشپزخانه', 'kitchen'),
    'wc': ('سرویس بهداشتی و حمام', 'wc'),
    'wall': ('سقف و دیوار', 'wall'),
    'facilities': ('سایر امکانات', 'facilities'),
    'occupancy': ('وضعیت سکونت', 'condition'),
    'parking': ('نوع و تعداد پارکینگ', 'parking'),
    'state': ('وضعیت ملک', 'condition'),
    'points': ('امتیازات', 'points'),
    'terrain': ('نوع زمین', 'terrain'),
    'skeleton': ('نوع اسکلت', 'skeleton'),
    'roof': ('نوع سقف', 'roof'),
    'progress': ('وضعیت پیشرفت کار', 'progress'),
}

APARTMENT, VILLA, COURTYARD, LAND, OFFICE, SHOP, BLOCK, OLD_HOUSE = 50, 51, 52, 53, 54, 55, 56, 57
OTHER_TYPES = list(range(58, 68))
ALL_TYPES = list(range(50, 68))
SALE, RENT, PARTNERSHIP, PRESALE, BUY, LEASE, PARTNER_REQ, PREBUY = range(1, 9)
OFFERS = (SALE, RENT, PARTNERSHIP, PRESALE)


def keys(group, *, only=None, without=()):
    """The group's toggle keys in catalogue order, narrowed to `only` or less `without`."""
    all_keys = [entry[0] for entry in dict(TOGGLES)[group]]
    picked = [k for k in all_keys if (only is None or k in only) and k not in without]
    assert only is None or len(picked) == len(only), (group, only)
    return picked


# Toggle keys of each option card, by property type; requests narrow some of them below.
LOCATION = {
    APARTMENT: keys('location', without=(104, 105)),
    VILLA: keys('location', without=(104, 105)),
    COURTYARD: keys('location', without=(104, 105)),
    LAND: keys('location', without=(104, 105)),
    OFFICE: keys('location', without=(105,)),
    SHOP: keys('location'),
    BLOCK: keys('location', without=(104, 105)),
    OLD_HOUSE: keys('location', without=(104, 105)),
}
TRAIT = {
    APARTMENT: keys('trait', only=(150, 151, 152, 153, 154, 155, 156, 157, 158, 161, 162, 163,
                                   164, 171)),
    VILLA: keys('trait', only=(150, 152, 153, 154, 157, 158, 162, 163, 164, 165, 166, 169, 170)),
    COURTYARD: keys('trait', only=(150, 152, 154, 157, 158, 160, 161, 162, 169, 170)),
    LAND: keys('trait', only=(158, 160, 161, 162, 167)),
    OFFICE: keys('trait', only=(152, 153, 157, 158, 163, 167, 168, 171)),
    SHOP: keys('trait', only=(157, 158, 159, 161, 163, 167, 168, 171)),
    BLOCK: keys('trait', only=(152, 153, 157, 158, 160, 161, 162, 167, 168)),
    OLD_HOUSE: keys('trait', only=(158, 160, 161, 162, 167, 169, 170)),
}
JOINTS = {
    APARTMENT: keys('joints'),
    VILLA: keys('joints', only=(253, 255, 256, 257, 258)),
    OFFICE: keys('joints', only=(250, 251, 252, 254)),
    BLOCK: keys('joints', only=(250, 251, 252, 253, 254)),
}
HEAT_COOL = {
    COURTYARD: keys('heat_cool', without=(306, 308)),
    OFFICE: keys('heat_cool', without=(302, 305)),
    SHOP: keys('heat_cool', only=(300, 301, 302, 306, 308)),
}
WC = {OFFICE: keys('wc', only=(450, 451))}
WALL = {BLOCK: keys('wall', without=(510, 511))}
FACILITIES = {
    APARTMENT: keys('facilities', without=(581,)),
    VILLA: keys('facilities', without=(560, 561, 562, 563, 564)),
    COURTYARD: keys('facilities', without=(555, 560, 561, 562, 563, 564, 571)),
    OFFICE: keys('facilities', only=(550, 553, 554, 555, 557, 559, 560, 566, 567, 568, 570, 571,
                                     573, 574, 575, 579)),
    BLOCK: keys('facilities', without=(569, 570, 576, 577)),
}
PARKING = {
    APARTMENT: keys('parking'),
    VILLA: keys('parking', only=(651, 653, 654)),
    COURTYARD: keys('parking', only=(651, 653, 654)),
    OFFICE: keys('parking'),
    SHOP: keys('parking', without=(655,)),
    BLOCK: keys('parking'),
}
# An applicant names a few must-haves, not the whole inventory of an offer.
REQUEST_NARROWING = {
    'trait': {
        APARTMENT: keys('trait', only=(150, 151, 152, 154, 157, 164)),
        VILLA: keys('trait', only=(150, 152, 163, 165, 166)),
        COURTYARD: keys('trait', only=(150, 157, 158, 169)),
        SHOP: keys('trait', only=(158, 159, 167)),
        BLOCK: keys('trait', only=(157, 158, 167, 168)),
    },
    'joints': {
        APARTMENT: keys('joints', only=(250, 251, 256)),
        VILLA: keys('joints', only=(256, 257, 258)),
        OFFICE: keys('joints', only=(250, 251)),
        BLOCK: keys('joints', only=(250, 251)),
    },
    'facilities': {
        APARTMENT: {BUY: keys('facilities', only=(550, 551, 553, 559, 572, 574)),
                    LEASE: keys('facilities', only=(550, 553, 559, 569, 570)),
                    PREBUY: keys('facilities', only=(550, 551, 553, 559, 572, 574))},
        VILLA: {BUY: keys('facilities', only=(550, 552, 556, 565, 580, 581)),
                LEASE: keys('facilities', only=(552, 565, 569, 570, 580)),
                PREBUY: keys('facilities', only=(550, 552, 556, 565, 580, 581))},
        COURTYARD: keys('facilities', only=(550, 552, 559, 572, 580)),
        BLOCK: keys('facilities', only=(559, 572, 574)),
    },
}

# The state card depends on the trade as much as on the property.
STATE_BUILT = keys('condition', only=(703, 704, 705, 706, 707))
STATE_SHOP = keys('condition', only=(703, 704, 705, 706, 707, 713, 714))
STATE_LAND = keys('condition', only=(704, 705, 707, 715, 716, 717, 718, 719, 720))
STATE_PARTNERSHIP = keys('condition', only=(705, 715, 716, 717, 718, 719))
STATE_PRESALE = keys('condition', only=(704, 705, 707, 718, 719))
STATE_PREBUY = keys('condition', only=(704, 707, 718, 719))
STATE_RENT = keys('condition', only=(722,))
STATE_RENT_SHOP = keys('condition', only=(713, 714, 722))
OCCUPANCY = keys('condition', only=(700, 701, 702))


def state_keys(trade, prop):
    if trade in (RENT, LEASE):
        return STATE_RENT_SHOP if prop == SHOP else STATE_RENT
    if trade == PARTNERSHIP:
        return STATE_PARTNERSHIP
    if trade == PRESALE:
        return STATE_PRESALE
    if trade == PREBUY:
        return STATE_PREBUY
    if prop in (LAND, OLD_HOUSE):
        return STATE_LAND
    return STATE_SHOP if prop == SHOP else STATE_BUILT


# An old house is bought for its plot, which is zoned for living or trade.
TERRAIN = {OLD_HOUSE: keys('terrain', only=(1000, 1001, 1003, 1007))}


def card_keys(kind, trade, prop):
    group = CARD_KINDS[kind][1]
    if kind == 'state':
        return state_keys(trade, prop)
    if kind == 'occupancy':
        return OCCUPANCY
    if kind == 'parking' and trade >= BUY:
        return []  # a request asks only how many spaces
    if trade >= BUY and kind in REQUEST_NARROWING and prop in REQUEST_NARROWING[kind]:
        narrowed = REQUEST_NARROWING[kind][prop]
        return narrowed[trade] if isinstance(narrowed, dict) else narrowed
    table = {'location': LOCATION, 'trait': TRAIT, 'joints': JOINTS, 'heat_cool': HEAT_COOL,
             'wc': WC, 'wall': WALL, 'facilities': FACILITIES, 'parking': PARKING,
             'terrain': TERRAIN}.get(kind)
    if table is not None and prop in table:
        return table[prop]
    return keys(group)


# Option cards of the sale and rent forms, in display order, after the main input card.
OFFER_FORMS = {
    APARTMENT: ['location', 'direction', 'trait', 'frontage', 'joints', 'heat_cool', 'coverage',
                'kitchen', 'wc', 'wall', 'facilities', 'occupancy', 'parking', 'state', 'points'],
    VILLA: ['location', 'trait', 'frontage', 'joints', 'heat_cool', 'coverage', 'kitchen', 'wc',
            'wall', 'facilities', 'occupancy', 'parking', 'state', 'points'],
    COURTYARD: ['location', 'trait', 'frontage', 'heat_cool', 'coverage', 'kitchen', 'wc', 'wall',
                'facilities', 'occupancy', 'parking', 'state', 'points'],
    LAND: ['location', 'terrain', 'state', 'points'],
    OFFICE: ['location', 'direction', 'trait', 'joints', 'heat_cool', 'wc', 'facilities',
             'occupancy', 'parking', 'state', 'points'],
    SHOP: ['location', 'trait', 'heat_cool', 'occupancy', 'parking', 'state', 'points'],
    BLOCK: ['location', 'trait', 'frontage', 'joints', 'heat_cool', 'coverage', 'kitchen', 'wc',
            'wall', 'facilities', 'occupancy', 'parking', 'state', 'points'],
    OLD_HOUSE: ['location', 'trait', 'terrain', 'state', 'points'],
}
PARTNERSHIP_FORMS = {
    LAND: ['location', 'trait', 'terrain', 'state', 'points'],
    OLD_HOUSE: ['location', 'trait', 'terrain', 'state', 'points'],
}
PRESALE_FORMS = {
    APARTMENT: ['location', 'direction', 'trait', 'frontage', 'skeleton', 'roof', 'progress',
                'joints', 'heat_cool', 'coverage', 'kitchen', 'wc', 'wall', 'facilities',
                'parking', 'state', 'points'],
    VILLA: ['location', 'trait', 'frontage', 'skeleton', 'roof', 'progress', 'joints',
            'heat_cool', 'kitchen', 'wc', 'facilities', 'parking', 'state', 'points'],
    OFFICE: ['location', 'direction', 'trait', 'skeleton', 'roof', 'progress', 'joints',
             'heat_cool', 'wc', 'facilities', 'parking', 'state', 'points'],
    SHOP: ['location', 'trait', 'skeleton', 'roof', 'progress', 'heat_cool', 'parking', 'state',
           'points'],
}
REQUEST_FORMS = {
    APARTMENT: ['location', 'trait', 'joints', 'facilities', 'parking', 'state'],
    VILLA: ['location', 'trait', 'joints', 'facilities', 'parking', 'state'],
    COURTYARD: ['location', 'trait', 'facilities', 'parking', 'state'],
    LAND: ['terrain', 'state'],
    OFFICE: ['location', 'joints', 'parking', 'state'],
    SHOP: ['location', 'trait', 'parking', 'state'],
    BLOCK: ['location', 'trait', 'joints', 'facilities', 'parking', 'state'],
    OLD_HOUSE: ['terrain', 'state'],
}

CUSTOMER = [2, 3, 4, 5, 6]
# An applicant leaves a name and a mobile number.
APPLICANT = [2, 3]

# Main input cards of the offers, by property type; price fields are added by trade.
OFFER_INPUTS = {
    APARTMENT: [1] + CUSTOMER + [8, 13, 17, 18, 19, 20, 21, 22, 'P', 34, 35, 36, 37],
    VILLA: [1] + CUSTOMER + [7, 8, 14, 17, 19, 22, 'P', 34, 35, 36, 37],
    COURTYARD: [1] + CUSTOMER + [7, 8, 14, 15, 16, 23, 17, 19, 22, 'P', 34, 35],
    LAND: [1] + CUSTOMER + [7, 14, 15, 16, 23, 'P', 34, 35],
    OFFICE: [1] + CUSTOMER + [8, 13, 17, 18, 19, 20, 21, 22, 'P', 34, 35, 36, 37],
    SHOP: [1] + CUSTOMER + [8, 9, 10, 11, 12, 13, 18, 19, 22, 'P', 34, 35],
    BLOCK: [1] + CUSTOMER + [7, 8, 14, 15, 17, 19, 21, 22, 'P', 34, 35, 36, 37],
    OLD_HOUSE: [1] + CUSTOMER + [7, 8, 14, 15, 16, 23, 'P', 34, 35],
    58: [1] + CUSTOMER + [7, 8, 14, 'P', 34, 35],
    59: [1] + CUSTOMER + [7, 8, 17, 19, 22, 'P', 34, 35],
    60: [1] + CUSTOMER + [7, 8, 14, 'P', 34, 35],
    61: [1] + CUSTOMER + [7, 8, 'P', 34, 35],
    62: [1] + CUSTOMER + [7, 8, 'P', 34, 35],
    63: [1] + CUSTOMER + [7, 8, 14, 22, 'P', 34, 35, 36, 37],
    64: [1] + CUSTOMER + [7, 8, 14, 'P', 34, 35],
    65: [1] + CUSTOMER + [7, 8, 14, 'P', 34, 35],
    66: [1] + CUSTOMER + [7, 'P', 34, 35],
    67: [1] + CUSTOMER + [7, 8, 14, 'P', 34, 35],
}
PRESALE_INPUTS = {
    APARTMENT: [1] + CUSTOMER + [8, 13, 17, 18, 19, 20, 21, 28, 30, 31, 34, 35],
    VILLA: [1] + CUSTOMER + [7, 8, 17, 19, 28, 30, 31, 34, 35],
    OFFICE: [1] + CUSTOMER + [8, 13, 17, 18, 19, 20, 21, 28, 30, 31, 34, 35],
    SHOP: [1] + CUSTOMER + [8, 9, 10, 11, 12, 13, 18, 28, 30, 31, 34, 35],
}
PARTNERSHIP_INPUTS = {
    LAND: [1] + CUSTOMER + [7, 14, 15, 16, 23, 24, 25, 26, 27, 28, 34, 35],
    OLD_HOUSE: [1] + CUSTOMER + [7, 8, 14, 15, 16, 23, 24, 25, 26, 27, 28, 34, 35],
}
# Requests: what the applicant is after ('P' is the ceiling price of the trade).
REQUEST_INPUTS = {
    APARTMENT: [1] + APPLICANT + [8, 17, 18, 22, 'P', 34],
    VILLA: [1] + APPLICANT + [7, 8, 17, 22, 'P', 34],
    COURTYARD: [1] + APPLICANT + [7, 8, 17, 22, 'P', 34],
    LAND: [1] + APPLICANT + [7, 14, 'P', 34],
    OFFICE: [1] + APPLICANT + [8, 17, 18, 22, 'P', 34],
    SHOP: [1] + APPLICANT + [8, 9, 'P', 34],
    BLOCK: [1] + APPLICANT + [7, 8, 21, 22, 'P', 34],
    OLD_HOUSE: [1] + APPLICANT + [7, 'P', 34],
}
for _t in OTHER_TYPES:
    REQUEST_INPUTS[_t] = [1] + APPLICANT + [7, 'P', 34]
LEASE_EXTRA = {APARTMENT: [29], VILLA: [29], COURTYARD: [29]}
PREBUY_INPUTS = {
    APARTMENT: [1] + APPLICANT + [8, 17, 18, 28, 31, 34],
    VILLA: [1] + APPLICANT + [7, 8, 17, 28, 31, 34],
    OFFICE: [1] + APPLICANT + [8, 17, 18, 28, 31, 34],
    SHOP: [1] + APPLICANT + [8, 9, 28, 31, 34],
}
PARTNER_REQ_INPUTS = {
    LAND: [1] + APPLICANT + [7, 25, 31, 34],
    OLD_HOUSE: [1] + APPLICANT + [7, 8, 25, 31, 34],
}


# What a tenant never asks about: the share of the land and the plot's measures.
NOT_LET = (13, 14, 15, 16, 23)


def expand_prices(ids, prices):
    out = []
    for i in ids:
        out.extend(prices if i == 'P' else [i])
    return out


def form_plan(trade, prop):
    """(input ids or None, option card kinds) of one form, or None when the trade has no form."""
    if trade == SALE:
        return expand_prices(OFFER_INPUTS[prop], [30, 31]), OFFER_FORMS.get(prop, [])
    if trade == RENT:
        if prop in (LAND, OLD_HOUSE):
            return None, ['points']  # not offered by the rent chooser
        ids = [i for i in OFFER_INPUTS[prop] if i not in NOT_LET]
        return expand_prices(ids, [32, 33]), OFFER_FORMS.get(prop, [])
    if trade == PARTNERSHIP:
        if prop not in PARTNERSHIP_INPUTS:
            return None
        return PARTNERSHIP_INPUTS[prop], PARTNERSHIP_FORMS[prop]
    if trade == PRESALE:
        if prop not in PRESALE_INPUTS:
            return None
        return PRESALE_INPUTS[prop], PRESALE_FORMS[prop]
    if trade == BUY:
        return expand_prices(REQUEST_INPUTS[prop], [31]), REQUEST_FORMS.get(prop, [])
    if trade == LEASE:
        if prop in (LAND, OLD_HOUSE):
            return None
        ids = expand_prices(REQUEST_INPUTS[prop], [32, 33])
        extra = LEASE_EXTRA.get(prop, [])
        ids = ids[:-1] + extra + ids[-1:]
        return ids, REQUEST_FORMS.get(prop, [])
    if trade == PARTNER_REQ:
        if prop not in PARTNER_REQ_INPUTS:
            return None
        return PARTNER_REQ_INPUTS[prop], []
    if trade == PREBUY:
        if prop not in PREBUY_INPUTS:
            return None
        return PREBUY_INPUTS[prop], REQUEST_FORMS[prop]
    return None


# The property types each trade's chooser offers, in display order.
CHOOSER = {
    SALE: ALL_TYPES,
    RENT: [p for p in ALL_TYPES if p not in (LAND, OLD_HOUSE)],
    PARTNERSHIP: [LAND, OLD_HOUSE],
    PRESALE: [APARTMENT, VILLA, OFFICE, SHOP],
}
CHOOSER[BUY], CHOOSER[LEASE] = CHOOSER[SALE], CHOOSER[RENT]
CHOOSER[PARTNER_REQ], CHOOSER[PREBUY] = CHOOSER[PARTNERSHIP], CHOOSER[PRESALE]


class Catalogue:
    def __init__(self):
        self.inputs = {row[0]: row for row in INPUTS}
        self.toggles = {}
        next_id = 1
        for group, entries in TOGGLES:
            for entry in entries:
                self.toggles[entry[0]] = (next_id, group) + tuple(entry)
                next_id += 1

    def input(self, input_id):
        (i, key, parent, itype, ftype, maxlen, currency, single, flt, title,
         request_title) = self.inputs[input_id]
        request_title = request_title or title
        return {'id': i, 'key': key, 'parent_key': parent, 'title': title,
                'request_title': request_title, 'input_type': itype, 'filter_type': ftype,
                'max_length': maxlen, 'currency': currency, 'single_line': single,
                'filter': flt, 'visible': 1, 'offline_name': title,
                'offline_request_name': request_title}

    def toggle(self, key):
        entry = self.toggles[key]
        tid, group, title = entry[0], entry[1], entry[3]
        request_title = entry[4] if len(entry) > 4 else title
        obj = {'id': tid, 'key': key, 'parent_key': group, 'title': title,
               'request_title': request_title, 'visible': 1, 'offline_name': title,
               'offline_request_name': request_title}
        if key in ATTACHED_INPUTS:
            obj['attachedInputs'] = [self.input(i) for i in ATTACHED_INPUTS[key]]
        if key in ATTACHED_TOGGLES:
            obj['attachedToggles'] = [self.toggle(k) for k in ATTACHED_TOGGLES[key]]
        return obj

    def cards(self):
        cards = []

        def add(title, trade, prop, position, inputs=(), toggles=(), stepper=None):
            card = {'id': len(cards) + 1, 'title': title, 'trade_type': trade,
                    'property_type': prop, 'single_select': 0, 'position': position,
                    'inputs': [self.input(i) for i in inputs],
                    'toggles': [self.toggle(k) for k in toggles]}
            if stepper is not None:
                card['stepper'] = self.input(stepper)
            cards.append(card)

        add('نوع معامله', -1, -1, 1, toggles=OFFERS)
        add('نوع درخواست', -2, -2, 1, toggles=(BUY, LEASE, PARTNER_REQ, PREBUY))
        for trade in range(SALE, PREBUY + 1):
            chooser = -1 if trade in OFFERS else -2
            add('نوع ملک', trade, chooser, 2, toggles=CHOOSER[trade])
            for prop in ALL_TYPES:
                plan = form_plan(trade, prop)
                if plan is None:
                    continue
                inputs, kinds = plan
                position = 3
                if inputs is not None:
                    add('', trade, prop, position, inputs=inputs)
                    position += 1
                for kind in kinds:
                    title, _ = CARD_KINDS[kind]
                    stepper = 38 if kind == 'parking' else None
                    add(title, trade, prop, position, toggles=card_keys(kind, trade, prop),
                        stepper=stepper)
                    position += 1
        return cards


def render(cards):
    lines = [json.dumps(card, ensure_ascii=False, separators=(',', ':')) for card in cards]
    return '[\n' + ',\n'.join(lines) + '\n]\n'


def main(argv):
    text = render(Catalogue().cards())
    if '--check' in argv:
        with open(TARGET, encoding='utf-8') as f:
            if f.read() != text:
                print('database.json differs from the output of generate.py', file=sys.stderr)
                return 1
        return 0
    with open(TARGET, 'w', encoding='utf-8') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
