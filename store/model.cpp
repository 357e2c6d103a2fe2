#include "store/model.h"

#include <iterator>

namespace {

struct PropertySpec
{
    const char *name;
    OBXPropertyType type;
    obx_schema_id id;
    obx_uid uid;
    uint32_t flags;
    obx_schema_id indexId; // 0: no index
    obx_uid indexUid;
    const char *target; // relation target entity, or nullptr
};

struct EntitySpec
{
    const char *name;
    obx_schema_id id;
    obx_uid uid;
    const PropertySpec *properties;
    size_t propertyCount;
    obx_schema_id lastPropertyId;
    obx_uid lastPropertyUid;
};

const PropertySpec kCardProperties[] = {
    {"id", OBXPropertyType_Long, 1, 2206281134735476556ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"title", OBXPropertyType_String, 2, 2870797069377926461ULL, 0, 0, 0ULL, nullptr},
    {"trade_type", OBXPropertyType_Int, 3, 5434676440974534858ULL, 0, 0, 0ULL, nullptr},
    {"property_type", OBXPropertyType_Int, 4, 1618488778008231793ULL, 0, 0, 0ULL, nullptr},
    {"single_select", OBXPropertyType_Bool, 5, 2391798678396129188ULL, 0, 0, 0ULL, nullptr},
    {"inputs", OBXPropertyType_StringVector, 6, 6102907045791894106ULL, 0, 0, 0ULL, nullptr},
    {"toggles", OBXPropertyType_StringVector, 7, 6662025823674022700ULL, 0, 0, 0ULL, nullptr},
    {"stepper", OBXPropertyType_Relation, 8, 4050644163751018010ULL, OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO, 1, 3338140299834755071ULL, "InputField"},
};

const PropertySpec kCityProperties[] = {
    {"id", OBXPropertyType_Long, 1, 2633309234060622958ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 7120950356953623676ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 2, 3268275790917841550ULL, nullptr},
    {"title", OBXPropertyType_String, 3, 5449784453258629548ULL, 0, 0, 0ULL, nullptr},
    {"version", OBXPropertyType_Int, 4, 6249114542777178832ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kContactProperties[] = {
    {"id", OBXPropertyType_Long, 1, 3444044996180935690ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 8727353600489327415ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 3, 3260167124675086815ULL, nullptr},
    {"user_id", OBXPropertyType_Relation, 3, 5468140603823716065ULL, OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO, 4, 1969993813663579022ULL, "User"},
    {"name_family", OBXPropertyType_String, 4, 7879867615743070012ULL, 0, 0, 0ULL, nullptr},
    {"address", OBXPropertyType_String, 5, 4816899897377919882ULL, 0, 0, 0ULL, nullptr},
    {"job", OBXPropertyType_String, 6, 4718419526759420118ULL, 0, 0, 0ULL, nullptr},
    {"mobile_1", OBXPropertyType_String, 7, 6544733520124350153ULL, 0, 0, 0ULL, nullptr},
    {"mobile_2", OBXPropertyType_String, 8, 6677678529509778596ULL, 0, 0, 0ULL, nullptr},
    {"phone_1", OBXPropertyType_String, 9, 8753819080445760211ULL, 0, 0, 0ULL, nullptr},
    {"phone_2", OBXPropertyType_String, 10, 7167650416809514005ULL, 0, 0, 0ULL, nullptr},
    {"type", OBXPropertyType_StringVector, 11, 2190018121255597480ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kDistrictProperties[] = {
    {"id", OBXPropertyType_Long, 1, 2431728081830431643ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 2935481648567239842ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 5, 7288530921040527637ULL, nullptr},
    {"title", OBXPropertyType_String, 3, 4728640891951818001ULL, 0, 0, 0ULL, nullptr},
    {"user_id", OBXPropertyType_String, 4, 8075258490558484979ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kFileProperties[] = {
    {"id", OBXPropertyType_Long, 1, 8927118806961296726ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 8666458950396010339ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 6, 5819992020377190022ULL, nullptr},
    {"user_id", OBXPropertyType_String, 3, 12006092722652360ULL, OBXPropertyFlags_INDEX_HASH, 7, 2569641170810286192ULL, nullptr},
    {"agent_id", OBXPropertyType_String, 4, 3158357312272064709ULL, 0, 0, 0ULL, nullptr},
    {"customer_id", OBXPropertyType_String, 5, 7094118580856321887ULL, 0, 0, 0ULL, nullptr},
    {"guard_id", OBXPropertyType_String, 6, 309808748218925703ULL, 0, 0, 0ULL, nullptr},
    {"customer_name", OBXPropertyType_String, 7, 5589356390850485377ULL, 0, 0, 0ULL, nullptr},
    {"customer_mobile", OBXPropertyType_String, 8, 1231446364900032819ULL, 0, 0, 0ULL, nullptr},
    {"trade_type", OBXPropertyType_Int, 9, 46496437059874787ULL, OBXPropertyFlags_INDEXED, 8, 8988616115346571403ULL, nullptr},
    {"property_type", OBXPropertyType_Int, 10, 3023519265036533689ULL, OBXPropertyFlags_INDEXED, 9, 588096134812506763ULL, nullptr},
    {"districts", OBXPropertyType_StringVector, 11, 5066545034135668112ULL, 0, 0, 0ULL, nullptr},
    {"district_array", OBXPropertyType_String, 12, 2702307576323921396ULL, 0, 0, 0ULL, nullptr},
    {"pins", OBXPropertyType_StringVector, 13, 7165083802686008667ULL, 0, 0, 0ULL, nullptr},
    {"documents", OBXPropertyType_StringVector, 14, 5396381190632300952ULL, 0, 0, 0ULL, nullptr},
    {"hashtags", OBXPropertyType_StringVector, 15, 3666690216174784626ULL, 0, 0, 0ULL, nullptr},
    {"auto_code", OBXPropertyType_Long, 16, 5984619629070093698ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"manual_code", OBXPropertyType_String, 17, 8317317678705446992ULL, 0, 0, 0ULL, nullptr},
    {"address", OBXPropertyType_String, 18, 6844845085825496692ULL, 0, 0, 0ULL, nullptr},
    {"deleted", OBXPropertyType_Bool, 19, 5712467267904557620ULL, 0, 0, 0ULL, nullptr},
    {"description", OBXPropertyType_String, 20, 6818333176370117716ULL, 0, 0, 0ULL, nullptr},
    {"area", OBXPropertyType_Float, 21, 6523877261203784795ULL, 0, 0, 0ULL, nullptr},
    {"home", OBXPropertyType_Float, 22, 685909120094637897ULL, 0, 0, 0ULL, nullptr},
    {"price_1", OBXPropertyType_Long, 23, 796770005432532122ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"price_2", OBXPropertyType_Long, 24, 5337689946070858050ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"full_rent_price", OBXPropertyType_Long, 25, 3496020302023498051ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"loan", OBXPropertyType_Long, 26, 4791585947877767259ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"is_private", OBXPropertyType_Bool, 27, 3154607148427241043ULL, 0, 0, 0ULL, nullptr},
    {"draft", OBXPropertyType_Bool, 28, 7894659534154610543ULL, 0, 0, 0ULL, nullptr},
    {"room", OBXPropertyType_Int, 29, 6999154451937014549ULL, 0, 0, 0ULL, nullptr},
    {"seen", OBXPropertyType_Bool, 30, 2927381096919079026ULL, 0, 0, 0ULL, nullptr},
    {"ad_colleague", OBXPropertyType_Bool, 31, 5369342440291733857ULL, 0, 0, 0ULL, nullptr},
    {"ad_public", OBXPropertyType_Bool, 32, 5844553854746691289ULL, 0, 0, 0ULL, nullptr},
    {"synced", OBXPropertyType_Bool, 33, 2095235402618183383ULL, 0, 0, 0ULL, nullptr},
    {"lat", OBXPropertyType_Double, 34, 5358950088198211031ULL, 0, 0, 0ULL, nullptr},
    {"lng", OBXPropertyType_Double, 35, 5855142397636732268ULL, 0, 0, 0ULL, nullptr},
    {"date", OBXPropertyType_Long, 36, 4198193203998459018ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"edit_date", OBXPropertyType_Long, 37, 1358058376871292439ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"info_id", OBXPropertyType_Relation, 38, 7061621784745579605ULL, OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO, 10, 7931359333038687075ULL, "FileInfo"},
    {"meter_id", OBXPropertyType_Relation, 39, 8789279529694024251ULL, OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO, 11, 5982906392166747540ULL, "FileMeter"},
    {"tenant_id", OBXPropertyType_Relation, 40, 3393031298724843022ULL, OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO, 12, 831527300955776874ULL, "FileTenant"},
    {"toggle_id", OBXPropertyType_Relation, 41, 926953910602286990ULL, OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO, 13, 9025726595421167955ULL, "FileToggle"},
};

const PropertySpec kFileActivityProperties[] = {
    {"id", OBXPropertyType_Long, 1, 2210617992309051563ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"file_id", OBXPropertyType_String, 2, 6039176017097028265ULL, OBXPropertyFlags_INDEX_HASH, 14, 3794933742684814615ULL, nullptr},
    {"server_id", OBXPropertyType_String, 3, 55166865970765928ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 15, 7335124993066731772ULL, nullptr},
    {"documents", OBXPropertyType_StringVector, 4, 1219513994280048181ULL, 0, 0, 0ULL, nullptr},
    {"text", OBXPropertyType_String, 5, 9080886395749289858ULL, 0, 0, 0ULL, nullptr},
    {"type", OBXPropertyType_Int, 6, 4667375114584472276ULL, 0, 0, 0ULL, nullptr},
    {"user_id", OBXPropertyType_String, 7, 6173669080955806914ULL, 0, 0, 0ULL, nullptr},
    {"date", OBXPropertyType_Long, 8, 5894135621834456931ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
};

const PropertySpec kFileInfoProperties[] = {
    {"id", OBXPropertyType_Long, 1, 5760059225059521566ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"file_id", OBXPropertyType_String, 2, 1020986465401600150ULL, OBXPropertyFlags_INDEX_HASH, 16, 43373337351336832ULL, nullptr},
    {"amount_of_interest", OBXPropertyType_Int, 3, 3311032993081041419ULL, 0, 0, 0ULL, nullptr},
    {"build_year", OBXPropertyType_Int, 5, 1794715844617733369ULL, 0, 0, 0ULL, nullptr},
    {"dahane", OBXPropertyType_Float, 6, 346746210299497431ULL, 0, 0, 0ULL, nullptr},
    {"delivery", OBXPropertyType_Float, 7, 7476257399578845626ULL, 0, 0, 0ULL, nullptr},
    {"floor_one", OBXPropertyType_Int, 8, 637981284689529584ULL, 0, 0, 0ULL, nullptr},
    {"floor_all", OBXPropertyType_Int, 9, 2857109204134611534ULL, 0, 0, 0ULL, nullptr},
    {"floor_space", OBXPropertyType_Float, 10, 5995868053871466268ULL, 0, 0, 0ULL, nullptr},
    {"grant_amount", OBXPropertyType_Long, 11, 5081247437149389815ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"manufacturer_share", OBXPropertyType_Float, 12, 5809527310002777618ULL, 0, 0, 0ULL, nullptr},
    {"num_parking", OBXPropertyType_Int, 13, 6151618411752584940ULL, 0, 0, 0ULL, nullptr},
    {"num_person", OBXPropertyType_Int, 14, 1399512398123349528ULL, 0, 0, 0ULL, nullptr},
    {"number_of_owners", OBXPropertyType_Int, 15, 7624241579029995393ULL, 0, 0, 0ULL, nullptr},
    {"sahm", OBXPropertyType_Float, 16, 4494852739908705559ULL, 0, 0, 0ULL, nullptr},
    {"unit_one", OBXPropertyType_Int, 17, 7523919748333758774ULL, 0, 0, 0ULL, nullptr},
    {"unit_all", OBXPropertyType_Int, 18, 1223071959651728096ULL, 0, 0, 0ULL, nullptr},
    {"warehouse", OBXPropertyType_Float, 19, 7029967255921257391ULL, 0, 0, 0ULL, nullptr},
    {"balcony", OBXPropertyType_Float, 20, 8843953689865926182ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kFileMatchTagProperties[] = {
    {"id", OBXPropertyType_Long, 1, 3689421929247949526ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"file_id", OBXPropertyType_String, 2, 7099841024226999300ULL, OBXPropertyFlags_INDEX_HASH, 17, 1448931507097823371ULL, nullptr},
    {"request_id", OBXPropertyType_String, 3, 688094560062954615ULL, OBXPropertyFlags_INDEX_HASH, 18, 8881573593017634674ULL, nullptr},
    {"tag", OBXPropertyType_Int, 4, 4078031455951869917ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kFileMeterProperties[] = {
    {"id", OBXPropertyType_Long, 1, 5982042923061429687ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"file_id", OBXPropertyType_String, 2, 9190416459783183520ULL, OBXPropertyFlags_INDEX_HASH, 19, 3972517951379211985ULL, nullptr},
    {"after_corrective", OBXPropertyType_Float, 3, 2844485684585750587ULL, 0, 0, 0ULL, nullptr},
    {"building", OBXPropertyType_Float, 4, 8763597568159736948ULL, 0, 0, 0ULL, nullptr},
    {"corrective", OBXPropertyType_Float, 5, 3471622223926801605ULL, 0, 0, 0ULL, nullptr},
    {"crossing", OBXPropertyType_Float, 6, 6484444490413523675ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kFileTenantProperties[] = {
    {"id", OBXPropertyType_Long, 1, 7223521551240066998ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"file_id", OBXPropertyType_String, 2, 3211986046924073793ULL, OBXPropertyFlags_INDEX_HASH, 20, 8062691348006786395ULL, nullptr},
    {"name", OBXPropertyType_String, 3, 1088088927759890849ULL, 0, 0, 0ULL, nullptr},
    {"phone", OBXPropertyType_String, 4, 8145556881444595605ULL, 0, 0, 0ULL, nullptr},
    {"rent", OBXPropertyType_Long, 5, 8094355134870336094ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"mortgage", OBXPropertyType_Long, 6, 7597217946452263619ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"due_date", OBXPropertyType_Long, 7, 1936520403978684693ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
};

const PropertySpec kFileToggleProperties[] = {
    {"id", OBXPropertyType_Long, 1, 5038702305692544051ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"file_id", OBXPropertyType_String, 2, 6100076734893182539ULL, OBXPropertyFlags_INDEX_HASH, 21, 2482690518741998412ULL, nullptr},
    {"condition", OBXPropertyType_String, 3, 6000566650462036700ULL, 0, 0, 0ULL, nullptr},
    {"coverage", OBXPropertyType_String, 4, 5775165375790031144ULL, 0, 0, 0ULL, nullptr},
    {"direction", OBXPropertyType_String, 5, 3439576705401942010ULL, 0, 0, 0ULL, nullptr},
    {"facilities", OBXPropertyType_String, 6, 4202735468501124927ULL, 0, 0, 0ULL, nullptr},
    {"frontage", OBXPropertyType_String, 7, 7540826344368229897ULL, 0, 0, 0ULL, nullptr},
    {"heat_cool", OBXPropertyType_String, 8, 5468931074186094151ULL, 0, 0, 0ULL, nullptr},
    {"joints", OBXPropertyType_String, 9, 384649582739403911ULL, 0, 0, 0ULL, nullptr},
    {"kitchen", OBXPropertyType_String, 10, 4409641558415122101ULL, 0, 0, 0ULL, nullptr},
    {"location", OBXPropertyType_String, 11, 5912626670904283254ULL, 0, 0, 0ULL, nullptr},
    {"parking", OBXPropertyType_String, 12, 8945932917497150724ULL, 0, 0, 0ULL, nullptr},
    {"points", OBXPropertyType_String, 13, 4544984039365420087ULL, 0, 0, 0ULL, nullptr},
    {"progress", OBXPropertyType_String, 14, 7819637480606869787ULL, 0, 0, 0ULL, nullptr},
    {"roof", OBXPropertyType_String, 15, 894994562902664894ULL, 0, 0, 0ULL, nullptr},
    {"skeleton", OBXPropertyType_String, 16, 7427122490740060967ULL, 0, 0, 0ULL, nullptr},
    {"trait", OBXPropertyType_String, 17, 514443578599174088ULL, 0, 0, 0ULL, nullptr},
    {"terrain", OBXPropertyType_String, 18, 6557823195187812094ULL, 0, 0, 0ULL, nullptr},
    {"wall", OBXPropertyType_String, 19, 7879906377217019948ULL, 0, 0, 0ULL, nullptr},
    {"wc", OBXPropertyType_String, 20, 1394901300862135292ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kHashTagProperties[] = {
    {"id", OBXPropertyType_Long, 1, 4679779478773406374ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 4415432730713289306ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 22, 3797799189252891913ULL, nullptr},
    {"title", OBXPropertyType_String, 3, 4152962983952022903ULL, 0, 0, 0ULL, nullptr},
    {"user_id", OBXPropertyType_String, 4, 7046562701962797948ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kInputFieldProperties[] = {
    {"id", OBXPropertyType_Long, 1, 2943080344751204113ULL, OBXPropertyFlags_ID | OBXPropertyFlags_ID_SELF_ASSIGNABLE, 0, 0ULL, nullptr},
    {"title", OBXPropertyType_String, 2, 4964699762724779459ULL, 0, 0, 0ULL, nullptr},
    {"key", OBXPropertyType_String, 3, 1987496222928137692ULL, 0, 0, 0ULL, nullptr},
    {"parent_key", OBXPropertyType_String, 4, 6193512513648682782ULL, 0, 0, 0ULL, nullptr},
    {"request_title", OBXPropertyType_String, 5, 3555585034846487462ULL, 0, 0, 0ULL, nullptr},
    {"input_type", OBXPropertyType_Short, 6, 7723650257508723137ULL, 0, 0, 0ULL, nullptr},
    {"filter_type", OBXPropertyType_Short, 7, 162651423525358163ULL, 0, 0, 0ULL, nullptr},
    {"max_length", OBXPropertyType_Short, 8, 8443802449727841284ULL, 0, 0, 0ULL, nullptr},
    {"currency", OBXPropertyType_Bool, 9, 7694983373628992844ULL, 0, 0, 0ULL, nullptr},
    {"single_line", OBXPropertyType_Bool, 10, 8507477369271861314ULL, 0, 0, 0ULL, nullptr},
    {"filter", OBXPropertyType_Bool, 11, 946301325010095016ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kNoteProperties[] = {
    {"id", OBXPropertyType_Long, 1, 7867784834438335276ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 6902239648695502084ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 23, 2669731329069768634ULL, nullptr},
    {"user_id", OBXPropertyType_String, 3, 4785762062611971017ULL, 0, 0, 0ULL, nullptr},
    {"title", OBXPropertyType_String, 4, 3561215344311377721ULL, 0, 0, 0ULL, nullptr},
    {"body", OBXPropertyType_String, 5, 8377244706905441540ULL, 0, 0, 0ULL, nullptr},
    {"color", OBXPropertyType_String, 6, 4044691496361302129ULL, 0, 0, 0ULL, nullptr},
    {"date", OBXPropertyType_Long, 7, 464436031086639618ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
};

const PropertySpec kShelvesProperties[] = {
    {"id", OBXPropertyType_Long, 1, 8748425740056094410ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 2133407620943010698ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 24, 2412475566250263582ULL, nullptr},
    {"user_id", OBXPropertyType_String, 3, 4482460656967869918ULL, 0, 0, 0ULL, nullptr},
    {"name", OBXPropertyType_String, 4, 3106233832185347121ULL, 0, 0, 0ULL, nullptr},
    {"color", OBXPropertyType_Int, 5, 4965793908137439177ULL, 0, 0, 0ULL, nullptr},
    {"type", OBXPropertyType_Int, 6, 3300400548139352152ULL, 0, 0, 0ULL, nullptr},
    {"position", OBXPropertyType_Int, 7, 3793962280920046938ULL, 0, 0, 0ULL, nullptr},
    {"access", OBXPropertyType_StringVector, 8, 693308410113106354ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kToggleFieldProperties[] = {
    {"id", OBXPropertyType_Long, 1, 937624883938760028ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"title", OBXPropertyType_String, 2, 2739074270085589899ULL, 0, 0, 0ULL, nullptr},
    {"key", OBXPropertyType_Int, 3, 8076981914058649052ULL, 0, 0, 0ULL, nullptr},
    {"parent_key", OBXPropertyType_String, 4, 2330318386401871775ULL, 0, 0, 0ULL, nullptr},
    {"request_title", OBXPropertyType_String, 5, 4981370839095818292ULL, 0, 0, 0ULL, nullptr},
    {"attached_inputs", OBXPropertyType_StringVector, 6, 860535572763718660ULL, 0, 0, 0ULL, nullptr},
    {"attached_toggles", OBXPropertyType_StringVector, 7, 1965523621690047581ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kUserProperties[] = {
    {"id", OBXPropertyType_Long, 1, 7514794210131033829ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"parent_id", OBXPropertyType_Relation, 2, 56973495238797365ULL, OBXPropertyFlags_INDEXED | OBXPropertyFlags_INDEX_PARTIAL_SKIP_ZERO, 25, 5150341462696011194ULL, "User"},
    {"server_id", OBXPropertyType_String, 3, 809632587612871901ULL, OBXPropertyFlags_INDEX_HASH, 26, 2034641196204667107ULL, nullptr},
    {"city_id", OBXPropertyType_String, 4, 724865141008652044ULL, 0, 0, 0ULL, nullptr},
    {"image", OBXPropertyType_String, 5, 7492399367084975993ULL, 0, 0, 0ULL, nullptr},
    {"invisible_toggles", OBXPropertyType_StringVector, 6, 2878627578903391316ULL, 0, 0, 0ULL, nullptr},
    {"name_family", OBXPropertyType_String, 7, 293675532512514838ULL, 0, 0, 0ULL, nullptr},
    {"mobile", OBXPropertyType_String, 8, 7651738764514007646ULL, 0, 0, 0ULL, nullptr},
    {"business_name", OBXPropertyType_String, 9, 6078498671870853301ULL, 0, 0, 0ULL, nullptr},
    {"union_code", OBXPropertyType_String, 10, 5262263643376627846ULL, 0, 0, 0ULL, nullptr},
    {"mobile_1", OBXPropertyType_String, 11, 8744329445682189002ULL, 0, 0, 0ULL, nullptr},
    {"mobile_2", OBXPropertyType_String, 12, 5251526972959398318ULL, 0, 0, 0ULL, nullptr},
    {"phone_1", OBXPropertyType_String, 13, 1020820797973094241ULL, 0, 0, 0ULL, nullptr},
    {"phone_2", OBXPropertyType_String, 14, 5627648335821827160ULL, 0, 0, 0ULL, nullptr},
    {"site", OBXPropertyType_String, 15, 2281057606685572626ULL, 0, 0, 0ULL, nullptr},
    {"email", OBXPropertyType_String, 16, 6395889808040700695ULL, 0, 0, 0ULL, nullptr},
    {"address", OBXPropertyType_String, 17, 8240539664592387736ULL, 0, 0, 0ULL, nullptr},
    {"telegram_channel", OBXPropertyType_String, 18, 1822078757904911959ULL, 0, 0, 0ULL, nullptr},
    {"instagram", OBXPropertyType_String, 19, 236595344663244743ULL, 0, 0, 0ULL, nullptr},
    {"type", OBXPropertyType_Short, 20, 510598846741319838ULL, 0, 0, 0ULL, nullptr},
    {"updated_date", OBXPropertyType_Long, 23, 1901814018159106222ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"access", OBXPropertyType_Int, 24, 3735755847355238231ULL, 0, 0, 0ULL, nullptr},
    {"current", OBXPropertyType_Bool, 25, 8063775819993721920ULL, 0, 0, 0ULL, nullptr},
    {"description", OBXPropertyType_String, 26, 3259628391569289945ULL, 0, 0, 0ULL, nullptr},
    {"logged_in", OBXPropertyType_Bool, 27, 3604746308800106426ULL, 0, 0, 0ULL, nullptr},
    {"sync_data", OBXPropertyType_Bool, 28, 7813194302525545461ULL, 0, 0, 0ULL, nullptr},
    {"token", OBXPropertyType_String, 29, 7184508423538862201ULL, 0, 0, 0ULL, nullptr},
    {"status", OBXPropertyType_Int, 30, 8883318986318900246ULL, 0, 0, 0ULL, nullptr},
    {"status_text", OBXPropertyType_String, 31, 7268023988848448953ULL, 0, 0, 0ULL, nullptr},
    {"country_code", OBXPropertyType_Int, 32, 3688919017526979303ULL, 0, 0, 0ULL, nullptr},
    {"lat", OBXPropertyType_Double, 33, 6850044184063478133ULL, 0, 0, 0ULL, nullptr},
    {"lng", OBXPropertyType_Double, 34, 215414945528854051ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kTavorlinProperties[] = {
    {"id", OBXPropertyType_Long, 1, 264067231861935721ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"server_id", OBXPropertyType_String, 2, 258758193487741563ULL, OBXPropertyFlags_UNIQUE | OBXPropertyFlags_INDEX_HASH, 27, 5379389117888496095ULL, nullptr},
    {"name", OBXPropertyType_String, 3, 6662032495539002862ULL, 0, 0, 0ULL, nullptr},
    {"user_id", OBXPropertyType_String, 4, 3390762551778354957ULL, 0, 0, 0ULL, nullptr},
    {"trade_type", OBXPropertyType_Int, 5, 270838654293215862ULL, 0, 0, 0ULL, nullptr},
    {"property_type", OBXPropertyType_Int, 6, 1383134558400348167ULL, 0, 0, 0ULL, nullptr},
    {"color", OBXPropertyType_Int, 7, 6847417105361660574ULL, 0, 0, 0ULL, nullptr},
    {"shared", OBXPropertyType_Bool, 8, 2740659267641981686ULL, 0, 0, 0ULL, nullptr},
    {"order_field", OBXPropertyType_String, 9, 6604122994674661214ULL, 0, 0, 0ULL, nullptr},
    {"order_type", OBXPropertyType_String, 10, 3417454599155672370ULL, 0, 0, 0ULL, nullptr},
    {"access", OBXPropertyType_StringVector, 11, 6258883540782318624ULL, 0, 0, 0ULL, nullptr},
    {"is_default", OBXPropertyType_Bool, 12, 4451732414201498674ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kTavorlinFilterProperties[] = {
    {"id", OBXPropertyType_Long, 1, 1579608557585445141ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"key", OBXPropertyType_String, 2, 208410192605185827ULL, 0, 0, 0ULL, nullptr},
    {"value_1", OBXPropertyType_String, 3, 3971771734676091290ULL, 0, 0, 0ULL, nullptr},
    {"value_2", OBXPropertyType_String, 4, 7130321848738850954ULL, 0, 0, 0ULL, nullptr},
    {"tavorlin_id", OBXPropertyType_String, 5, 3693368803447361211ULL, 0, 0, 0ULL, nullptr},
};

const PropertySpec kTavorlinPositionProperties[] = {
    {"id", OBXPropertyType_Long, 1, 1971532106370682459ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"position", OBXPropertyType_Int, 2, 2287065439092420326ULL, 0, 0, 0ULL, nullptr},
    {"tavorlin_id", OBXPropertyType_String, 3, 3318075176910595280ULL, OBXPropertyFlags_INDEX_HASH, 28, 6612077335269724878ULL, nullptr},
    {"shelves_id", OBXPropertyType_String, 4, 3551200744674614048ULL, OBXPropertyFlags_INDEX_HASH, 29, 1134549014685987548ULL, nullptr},
};

const PropertySpec kScrollProperties[] = {
    {"id", OBXPropertyType_Long, 1, 9122576318846945499ULL, OBXPropertyFlags_ID, 0, 0ULL, nullptr},
    {"entityId", OBXPropertyType_Long, 2, 5056271893857800156ULL, OBXPropertyFlags_UNSIGNED, 0, 0ULL, nullptr},
    {"entityType", OBXPropertyType_Int, 3, 168087367645914991ULL, 0, 0, 0ULL, nullptr},
    {"position", OBXPropertyType_Int, 4, 7318119889511309360ULL, 0, 0, 0ULL, nullptr},
};

const EntitySpec kEntities[] = {
    {"Card", 1, 8326269966858794734ULL, kCardProperties, std::size(kCardProperties), 8, 4050644163751018010ULL},
    {"City", 2, 5611661654744063162ULL, kCityProperties, std::size(kCityProperties), 4, 6249114542777178832ULL},
    {"Contact", 3, 1119149556587748410ULL, kContactProperties, std::size(kContactProperties), 11, 2190018121255597480ULL},
    {"District", 4, 3079754507724263463ULL, kDistrictProperties, std::size(kDistrictProperties), 4, 8075258490558484979ULL},
    {"File", 5, 7406496903843275446ULL, kFileProperties, std::size(kFileProperties), 41, 926953910602286990ULL},
    {"FileActivity", 6, 3519816106305564048ULL, kFileActivityProperties, std::size(kFileActivityProperties), 8, 5894135621834456931ULL},
    {"FileInfo", 7, 4861049042910365035ULL, kFileInfoProperties, std::size(kFileInfoProperties), 20, 8843953689865926182ULL},
    {"FileMatchTag", 8, 4358150940202675905ULL, kFileMatchTagProperties, std::size(kFileMatchTagProperties), 4, 4078031455951869917ULL},
    {"FileMeter", 9, 2533702209393309409ULL, kFileMeterProperties, std::size(kFileMeterProperties), 6, 6484444490413523675ULL},
    {"FileTenant", 10, 4104410904819434676ULL, kFileTenantProperties, std::size(kFileTenantProperties), 7, 1936520403978684693ULL},
    {"FileToggle", 11, 3603143399610673992ULL, kFileToggleProperties, std::size(kFileToggleProperties), 20, 1394901300862135292ULL},
    {"HashTag", 12, 2775575999822048937ULL, kHashTagProperties, std::size(kHashTagProperties), 4, 7046562701962797948ULL},
    {"InputField", 13, 7273937075179818472ULL, kInputFieldProperties, std::size(kInputFieldProperties), 11, 946301325010095016ULL},
    {"Note", 14, 4010336253584742616ULL, kNoteProperties, std::size(kNoteProperties), 7, 464436031086639618ULL},
    {"Shelves", 15, 2835457783970129762ULL, kShelvesProperties, std::size(kShelvesProperties), 8, 693308410113106354ULL},
    {"ToggleField", 16, 1155074022001273686ULL, kToggleFieldProperties, std::size(kToggleFieldProperties), 7, 1965523621690047581ULL},
    {"User", 17, 3039385159512390388ULL, kUserProperties, std::size(kUserProperties), 34, 215414945528854051ULL},
    {"Tavorlin", 18, 4833439304952340242ULL, kTavorlinProperties, std::size(kTavorlinProperties), 12, 4451732414201498674ULL},
    {"TavorlinFilter", 19, 3996640025320679874ULL, kTavorlinFilterProperties, std::size(kTavorlinFilterProperties), 5, 3693368803447361211ULL},
    {"TavorlinPosition", 20, 8847175789643896059ULL, kTavorlinPositionProperties, std::size(kTavorlinPositionProperties), 4, 3551200744674614048ULL},
    {"Scroll", 21, 6640222709177548650ULL, kScrollProperties, std::size(kScrollProperties), 4, 7318119889511309360ULL},
};

} // namespace

OBX_model *createObxModel()
{
    OBX_model *model = obx_model();
    if (!model)
        return nullptr;
    // The library keeps the first error in the model and reports it when the model is used.
    for (const EntitySpec &entity : kEntities) {
        obx_model_entity(model, entity.name, entity.id, entity.uid);
        for (size_t i = 0; i < entity.propertyCount; ++i) {
            const PropertySpec &p = entity.properties[i];
            obx_model_property(model, p.name, p.type, p.id, p.uid);
            if (p.flags)
                obx_model_property_flags(model, p.flags);
            if (p.target)
                obx_model_property_relation(model, p.target, p.indexId, p.indexUid);
            else if (p.indexId)
                obx_model_property_index_id(model, p.indexId, p.indexUid);
        }
        obx_model_entity_last_property_id(model, entity.lastPropertyId, entity.lastPropertyUid);
    }
    obx_model_last_entity_id(model, 21, 6640222709177548650ULL);
    obx_model_last_index_id(model, 29, 1134549014685987548ULL);
    return model;
}
