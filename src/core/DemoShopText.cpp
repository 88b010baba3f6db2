// People, addresses and titles for the generated shops. Every name, title,
// author and publisher here is made up.
#include "core/DemoShopText.h"

#include <QHash>

#include <array>
#include <iterator>
#include <string_view>

namespace DemoShop {

namespace {

std::uint64_t splitmix(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

QStringList words(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

struct Surname {
    const char* han;
    const char* latin;
};

const Surname kSurnames[] = {
    {"陳", "chen"},   {"林", "lin"},  {"黃", "huang"}, {"張", "chang"}, {"李", "li"},     {"王", "wang"},
    {"吳", "wu"},     {"劉", "liu"},  {"蔡", "tsai"},  {"楊", "yang"},  {"許", "hsu"},    {"鄭", "cheng"},
    {"謝", "hsieh"},  {"郭", "kuo"},  {"洪", "hung"},  {"曾", "tseng"}, {"邱", "chiu"},   {"廖", "liao"},
    {"賴", "lai"},    {"周", "chou"}, {"葉", "yeh"},   {"蘇", "su"},    {"莊", "chuang"}, {"呂", "lu"},
    {"江", "chiang"}, {"何", "ho"},   {"蕭", "hsiao"}, {"羅", "lo"},    {"高", "kao"},    {"潘", "pan"},
};

struct City {
    const char* name;
    const char* area;  // telephone area code
    int localDigits;   // digits after the area code
    char region;       // first letter of identity numbers issued there
    const char* roads; // "district:road,road;district:road"
};

const City kCities[] = {
    {"台北市", "02", 8, 'A',
     "大安區:復興南路一段,和平東路二段,信義路四段,敦化南路一段;中山區:南京東路二段,林森北路,民生東路三段;"
     "士林區:中正路,文林路;文山區:木柵路三段,興隆路二段"},
    {"新北市", "02", 8, 'F',
     "板橋區:文化路一段,中山路二段,民生路三段;三重區:重新路三段,正義北路;新莊區:中正路,思源路;"
     "中和區:中山路三段,景平路;永和區:永和路二段,竹林路"},
    {"桃園市", "03", 7, 'H', "桃園區:中正路,復興路,中山路;中壢區:中央西路二段,元化路"},
    {"台中市", "04", 8, 'B', "西屯區:台灣大道三段,逢甲路,福星路;北區:三民路三段,學士路;南屯區:公益路二段"},
    {"台南市", "06", 7, 'D', "東區:大學路,長榮路二段,東門路一段;中西區:民生路二段,海安路二段"},
    {"高雄市", "07", 7, 'E', "苓雅區:四維三路,中華四路,三多二路;三民區:建工路,九如一路;左營區:博愛二路"},
};

QString digits(Rng& rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + rng.below(10));
    return s;
}

QString address(Rng& rng, const City& city)
{
    const QStringList districts = QString::fromUtf8(city.roads).split(QLatin1Char(';'));
    const QStringList d = rng.pick(districts).split(QLatin1Char(':'));
    const QStringList roads = d[1].split(QLatin1Char(','));
    QString s = QString::fromUtf8(city.name) + d[0] + rng.pick(roads);
    if (rng.chance(0.4))
        s += QString::number(rng.range(2, 180)) + QStringLiteral("巷");
    s += QString::number(rng.range(1, 320)) + QStringLiteral("號");
    if (rng.chance(0.6)) {
        s += QString::number(rng.range(2, 15)) + QStringLiteral("樓");
        if (rng.chance(0.2))
            s += QStringLiteral("之") + QString::number(rng.range(1, 5));
    }
    return s;
}

QString landline(Rng& rng, const City& city)
{
    const QString area = QString::fromLatin1(city.area);
    QString local;
    if (city.localDigits == 8)
        local = QChar(u'2') + digits(rng, 3) + QLatin1Char('-') + digits(rng, 4);
    else
        local = QChar(u'2' + rng.below(6)) + digits(rng, 2) + QLatin1Char('-') + digits(rng, 4);
    return QLatin1Char('(') + area + QLatin1Char(')') + local;
}

// Word pools of the made-up catalogue, by leaf class.
struct Pool {
    int classNum;
    const char* first;
    const char* second;
    const char* authors;
    const char* publishers;
    int priceLo, priceHi;
};

const Pool kPools[] = {
    {10101, "烈火 星海 龍騎 雷霆 赤紅 疾風 鋼鐵 幻影 獵人 怪盜 白銀 機甲",
     "之拳 冒險團 傳說 戰記 之道 少年 騎士 英雄 召喚師 守護者 劍士 航海記 大作戰 同盟",
     "山本健一 佐藤大輔 森川翔 藤原光 北野達也", "星河出版社 青山文化 大河出版", 95, 130},
    {10102, "灌籃 足球 棒球 網球 游泳 排球 田徑 拳擊 桌球 圍棋", "旋風 小將 魂 王 少年 之星 熱血隊 青春 挑戰者 傳說",
     "高田誠 松本大和 中村勇氣 小林隼人", "星河出版社 大河出版", 95, 125},
    {102, "櫻花 彩虹 月光 青春 夢幻 星期三的 春日 初雪 玻璃 薔薇",
     "物語 甜點屋 日記 之戀 告白 約定 王子 交響曲 公主 花園", "高橋美咲 吉川葵 水野櫻 白石遙", "青山文化 晨光書房", 95,
     125},
    {103, "黑色 深夜 暗夜 戰國 迷宮 都市 極道 賽車 醫龍 職場",
     "偵探社 食堂 奇譚 狂想曲 料理人 棋士 事件簿 狂人 生存記 法則", "岡田剛 石井拓海 西村修 林立青",
     "大河出版 晨光書房", 110, 150},
    {104, "貓咪 上班族 家族 小學生 狗狗 便利商店 宿舍 辦公室", "日常 四格 物語 大小事 生活 趣事", "小島優 川口萌",
     "青山文化", 90, 110},
    {201, "天龍 江湖 俠客 笑傲 血劍 孤鴻 飛雪 斷腸 風雲 碧血 鐵騎 逍遙",
     "劍影 夜雨 行旅 山河 錄 傳 英雄譜 刀 飛狐 劍譜 門 樓", "雲中客 秋水寒 墨白 古風 龍吟", "風雲書局 晨光書房", 220,
     320},
    {202, "雨夜的 秋天的 海邊的 心動的 最後的 夏日的 星空下的 微光中的 遙遠的 初戀的 晚風裡的 午後的",
     "承諾 約定 距離 告白 旋律 咖啡館 信箋 花園 車站 禮物 戀人 秘密", "林若雪 夏晴 藍月 蘇晚晴 沈心",
     "花語出版 晨光書房", 180, 250},
    {203, "龍族 星辰 幻之 魔導 精靈 永夜 蒼穹 聖域 冥界 時空 神諭 鍊金",
     "黎明 法師 國度 紀元 之門 戰歌 傳奇 王座 旅人 之塔 契約 史詩", "月影 葉千秋 凌風 星野", "奇幻文庫 風雲書局", 250,
     380},
    {204, "密室 第十三號 雨夜 鐘樓 消失的 白色 午夜 沉默的 雙面 迷霧 紅色 最後的",
     "之謎 證人 殺機 事件 真相 目擊者 偵探 密碼 嫌疑人 陷阱 謀殺案", "冷言 周默 黑川透 艾倫．柯爾", "推理文庫 大河出版",
     280, 380},
    {205, "轉生成為勇者的 我的同學是 異世界 魔王大人的 放學後的 最強 關於我和 隔壁的",
     "日常 魔王 咖啡館 煩惱 冒險 戀愛喜劇 學園生活 打工記 契約 美少女", "橘子醬 三日月 夜空", "輕文庫 青山文化", 200,
     260},
    {301, "娛樂 少年 財經 時尚 八卦 運動 新聞", "週刊 週報 快報", "編輯部", "星河雜誌社 城市傳媒", 99, 129},
    {302, "電玩 汽車 旅遊 美食 科學 攝影 動漫 居家 健康 親子 單車 登山 設計 寵物", "月刊 雜誌 誌", "編輯部",
     "星河雜誌社 城市傳媒", 150, 199},
    {401, "夏日 城市 午夜 青春 海洋 星空 雨天 北方 南國 遠方 微光 回憶",
     "微風 之光 電台 紀念冊 情歌 旅程 日記 派對 民謠", "林心語 張浩然 藍天樂團 陳曉雨 五月花樂團 夜行者樂團",
     "海風唱片 晴天音樂", 320, 480},
    {402, "星際 末日 深海 沙漠 極地 城市 午夜 英雄 時空 失落的", "迷航 救援 獵殺 追緝令 任務 傳奇 風暴 之心 計畫 王國",
     "光影影業 銀幕娛樂", "光影影業 銀幕娛樂", 399, 599},
    {501, "山海 老街 城市 花季 島嶼 森林 海岸 古厝", "攝影集 畫冊 光影 之美", "陳光遠 李映", "旅人出版", 380, 550},
    {502, "台灣 東京 首爾 京都 曼谷 香港 花蓮 台南 沖繩 北海道", "自由行 旅遊指南 美食地圖 散步 漫遊",
     "旅人編輯部 背包客小安", "旅人出版", 280, 420},
    {503, "家常 便當 烘焙 電鍋 小吃 素食 減醣 快手", "料理 小菜100道 入門 食譜 一週菜單", "王媽媽 廚房阿德 甜點師小雨",
     "生活廚房", 250, 380},
};

const Pool& poolOf(int classNum)
{
    for (const Pool& p : kPools)
        if (p.classNum == classNum)
            return p;
    return kPools[0];
}

int price(Rng& rng, const Pool& p)
{
    return (rng.range(p.priceLo, p.priceHi) / 5) * 5;
}

} // namespace

Rng::Rng(std::uint64_t seed)
{
    std::uint64_t x = seed;
    for (auto& s : m_s)
        s = splitmix(x);
}

std::uint64_t Rng::next()
{
    const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
    const std::uint64_t t = m_s[1] << 17;
    m_s[2] ^= m_s[0];
    m_s[3] ^= m_s[1];
    m_s[1] ^= m_s[2];
    m_s[0] ^= m_s[3];
    m_s[2] ^= t;
    m_s[3] = rotl(m_s[3], 45);
    return result;
}

int Rng::below(int n)
{
    return n <= 1 ? 0 : int(next() % std::uint64_t(n));
}

double Rng::unit()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

QString idNumber(Rng& rng, QChar region, bool male)
{
    static const char kLetters[] = "ABCDEFGHJKLMNPQRSTUVXYWZIO"; // mapped to 10, 11, 12, ...
    const int letter = 10 + int(std::string_view(kLetters).find(char(region.toLatin1())));
    QString s(region);
    s += QChar(male ? u'1' : u'2');
    s += digits(rng, 7);
    int sum = letter / 10 + (letter % 10) * 9;
    for (int i = 1; i <= 8; ++i)
        sum += s[i].digitValue() * (9 - i);
    s += QChar(u'0' + (10 - sum % 10) % 10);
    return s;
}

Person person(Rng& rng, int fromYear, int toYear)
{
    static const QStringList male = words("志明 俊傑 建宏 家豪 宗翰 冠宇 承恩 彥廷 柏翰 宇軒 冠廷 威廷 哲瑋 子豪 信宏 "
                                          "志偉 明哲 偉倫 俊宏 家瑋");
    static const QStringList female =
        words("淑芬 雅婷 怡君 佳穎 欣怡 詩涵 宜蓁 雅雯 思妤 筱涵 佩君 美玲 惠雯 婉婷 心怡 "
              "品妍 郁婷 宜庭 家瑜 靜宜");
    static const QStringList domains = words("gmail.com yahoo.com.tw hotmail.com msa.hinet.net");
    Person p;
    const Surname& sn = kSurnames[rng.below(int(std::size(kSurnames)))];
    const bool isMale = rng.chance(0.55);
    p.name = QString::fromUtf8(sn.han) + rng.pick(isMale ? male : female);
    p.sex = rng.chance(0.04) ? QStringLiteral("n") : (isMale ? QStringLiteral("男") : QStringLiteral("女"));
    p.birthday = QDate(rng.range(fromYear, toYear), 1, 1).addDays(rng.below(365));
    const City& home = kCities[rng.below(int(std::size(kCities)))];
    const City& city = rng.chance(0.85) ? kCities[0 + rng.below(2)] : home; // the shop is in greater Taipei
    p.addr = address(rng, city);
    p.addr2 = rng.chance(0.65) ? p.addr : address(rng, home);
    p.tel = rng.chance(0.6) ? landline(rng, city) : QString();
    p.mobile =
        QStringLiteral("09") + digits(rng, 2) + QLatin1Char('-') + digits(rng, 3) + QLatin1Char('-') + digits(rng, 3);
    if (rng.chance(0.55))
        p.email = QString::fromLatin1(sn.latin) +
                  (rng.chance(0.5) ? QString::number(p.birthday.year()) : digits(rng, 3)) + QLatin1Char('@') +
                  rng.pick(domains);
    p.idNumber = idNumber(rng, QLatin1Char(home.region), isMale);
    return p;
}

const std::vector<ClassRow>& classTree()
{
    static const std::vector<ClassRow> tree = {
        {101, "少年漫畫"}, {10101, "熱血冒險"}, {10102, "運動競技"}, {102, "少女漫畫"}, {103, "青年漫畫"},
        {104, "四格漫畫"}, {201, "武俠小說"},   {202, "言情小說"},   {203, "奇幻小說"}, {204, "推理小說"},
        {205, "輕小說"},   {301, "週刊"},       {302, "月刊"},       {401, "流行音樂"}, {402, "電影DVD"},
        {501, "攝影畫冊"}, {502, "旅遊指南"},   {503, "食譜"},
    };
    return tree;
}

std::vector<Series> demoCatalogue()
{
    struct Row {
        int cls;
        const char* name;
        const char* author;
        const char* publisher;
        int volumes;
        bool finished;
        int money;
    };
    static const Row rows[] = {
        {10101, "烈火之拳", "山本健一", "星河出版社", 24, false, 100},
        {10101, "星海冒險團", "佐藤大輔", "大河出版", 18, true, 95},
        {10101, "龍騎士傳說", "森川翔", "星河出版社", 12, false, 110},
        {10102, "灌籃旋風", "高田誠", "星河出版社", 20, true, 100},
        {10102, "足球小將翔", "松本大和", "大河出版", 15, false, 100},
        {102, "櫻花戀物語", "高橋美咲", "青山文化", 10, true, 95},
        {102, "彩虹甜點屋", "吉川葵", "晨光書房", 8, false, 100},
        {102, "王子的秘密", "水野櫻", "青山文化", 6, true, 95},
        {103, "黑色偵探社", "岡田剛", "大河出版", 14, false, 130},
        {103, "深夜食堂街", "石井拓海", "晨光書房", 9, false, 140},
        {103, "賽車狂人", "西村修", "大河出版", 7, true, 120},
        {103, "夜之街", "林立青", "晨光書房", 5, true, 150},
        {104, "貓咪日常", "小島優", "青山文化", 4, false, 90},
        {201, "天龍劍影", "雲中客", "風雲書局", 8, true, 280},
        {201, "江湖夜雨", "秋水寒", "風雲書局", 6, true, 260},
        {201, "俠客行旅", "墨白", "晨光書房", 4, false, 240},
        {202, "雨夜的承諾", "林若雪", "花語出版", 1, true, 200},
        {202, "總裁的契約新娘", "夏晴", "花語出版", 1, true, 180},
        {202, "不說再見", "藍月", "晨光書房", 1, true, 220},
        {202, "心動的距離", "林若雪", "花語出版", 1, true, 200},
        {202, "秋天的約定", "蘇晚晴", "花語出版", 1, true, 190},
        {202, "戀愛預報", "夏晴", "花語出版", 1, true, 180},
        {202, "海邊的咖啡館", "沈心", "晨光書房", 1, true, 230},
        {203, "龍族黎明", "月影", "奇幻文庫", 10, false, 320},
        {203, "星辰法師", "葉千秋", "奇幻文庫", 6, true, 300},
        {204, "密室之謎", "冷言", "推理文庫", 1, true, 320},
        {204, "第十三號證人", "周默", "推理文庫", 1, true, 340},
        {204, "雨夜殺機", "黑川透", "大河出版", 1, true, 300},
        {204, "偵探事務所事件簿", "冷言", "推理文庫", 5, false, 300},
        {205, "轉生成為勇者的日常", "橘子醬", "輕文庫", 9, false, 220},
        {205, "我的同學是魔王", "三日月", "輕文庫", 7, false, 210},
        {205, "異世界咖啡館", "夜空", "青山文化", 5, true, 200},
        {301, "娛樂週報", "編輯部", "城市傳媒", 12, false, 99},
        {301, "少年週刊", "編輯部", "星河雜誌社", 12, false, 99},
        {302, "電玩月刊", "編輯部", "星河雜誌社", 8, false, 168},
        {302, "汽車月刊", "編輯部", "城市傳媒", 6, false, 199},
        {302, "旅遊月刊", "編輯部", "城市傳媒", 6, false, 180},
        {401, "夏日微風", "林心語", "海風唱片", 1, true, 350},
        {401, "城市之光", "張浩然", "晴天音樂", 1, true, 380},
        {401, "午夜電台", "藍天樂團", "海風唱片", 1, true, 420},
        {401, "青春紀念冊", "五月花樂團", "晴天音樂", 1, true, 400},
        {401, "雨天情歌", "陳曉雨", "海風唱片", 1, true, 350},
        {401, "遠方的旅程", "夜行者樂團", "晴天音樂", 1, true, 450},
        {401, "南國民謠", "林心語", "海風唱片", 1, true, 320},
        {401, "星空派對", "張浩然", "晴天音樂", 1, true, 380},
        {402, "星際迷航", "光影影業", "光影影業", 1, true, 499},
        {402, "深海救援", "銀幕娛樂", "銀幕娛樂", 1, true, 450},
        {402, "沙漠追緝令", "光影影業", "光影影業", 1, true, 399},
        {402, "極地任務", "銀幕娛樂", "銀幕娛樂", 1, true, 450},
        {402, "時空風暴", "光影影業", "光影影業", 1, true, 599},
        {402, "失落的王國", "銀幕娛樂", "銀幕娛樂", 1, true, 499},
        {402, "城市英雄", "光影影業", "光影影業", 1, true, 399},
        {402, "午夜計畫", "銀幕娛樂", "銀幕娛樂", 1, true, 450},
        {501, "台灣山海攝影集", "陳光遠", "旅人出版", 1, true, 550},
        {501, "老街光影", "李映", "旅人出版", 1, true, 480},
        {501, "島嶼之美", "陳光遠", "旅人出版", 1, true, 520},
        {502, "台灣環島指南", "旅人編輯部", "旅人出版", 1, true, 350},
        {502, "東京自由行", "背包客小安", "旅人出版", 1, true, 380},
        {502, "京都大阪散步", "背包客小安", "旅人出版", 1, true, 360},
        {502, "花蓮美食地圖", "旅人編輯部", "旅人出版", 1, true, 300},
        {503, "家常小菜100道", "王媽媽", "生活廚房", 1, true, 320},
        {503, "電鍋料理入門", "廚房阿德", "生活廚房", 1, true, 280},
        {503, "烘焙入門", "甜點師小雨", "生活廚房", 1, true, 350},
    };
    std::vector<Series> out;
    for (const Row& r : rows) {
        Series s;
        s.classNum = r.cls;
        s.name = QString::fromUtf8(r.name);
        s.author = QString::fromUtf8(r.author);
        s.publisher = QString::fromUtf8(r.publisher);
        s.volumes = r.volumes;
        s.finished = r.finished;
        s.money = r.money;
        s.adult = s.name == QStringLiteral("夜之街");
        s.issues = r.cls / 100 == 3;
        out.push_back(s);
    }
    return out;
}

Series madeUpSeries(Rng& rng)
{
    // The mix of a rental shop: mostly comics, then novels.
    static const std::pair<int, int> kMix[] = {
        {10101, 18}, {10102, 7}, {102, 13}, {103, 12}, {104, 3}, {201, 6}, {202, 10}, {203, 5}, {204, 4},
        {205, 6},    {301, 3},   {302, 5},  {401, 2},  {402, 2}, {501, 1}, {502, 2},  {503, 1},
    };
    int total = 0;
    for (const auto& m : kMix)
        total += m.second;
    int r = rng.below(total);
    int cls = kMix[0].first;
    for (const auto& m : kMix) {
        if (r < m.second) {
            cls = m.first;
            break;
        }
        r -= m.second;
    }
    const Pool& p = poolOf(cls);
    static QHash<int, std::array<QStringList, 4>> cache;
    auto it = cache.find(cls);
    if (it == cache.end())
        it = cache.insert(cls, {words(p.first), words(p.second), words(p.authors), words(p.publishers)});
    const auto& w = it.value();

    Series s;
    s.classNum = cls;
    s.name = rng.pick(w[0]) + rng.pick(w[1]);
    static const QStringList kTails = words("外傳 新章 第二部 完全版");
    if (cls / 100 != 3 && rng.chance(0.2))
        s.name += QLatin1Char(' ') + rng.pick(kTails);
    s.author = rng.pick(w[2]);
    s.publisher = rng.pick(w[3]);
    s.money = price(rng, p);
    s.issues = cls / 100 == 3;
    switch (cls / 100) {
    case 1:
    case 101:
        s.volumes = rng.range(1, 12) + (rng.chance(0.5) ? rng.range(0, 28) : 0);
        break;
    case 2:
        s.volumes = cls == 202 || cls == 204 ? (rng.chance(0.65) ? 1 : rng.range(2, 4)) : rng.range(1, 12);
        break;
    case 3:
        s.volumes = rng.range(12, 60);
        break;
    default:
        s.volumes = 1;
    }
    s.finished = s.volumes == 1 || rng.chance(0.45);
    s.adult = cls == 103 && rng.chance(0.1);
    return s;
}

} // namespace DemoShop
