-- Demo data: 宏达办公家具厂, a small office furniture factory, over its last three months.
--
-- Load once into a database made from suite.sql. Bills are dated relative to the
-- server's current month, so the lists always show recent business: this month four
-- sales orders (three checked) and five production tasks (three checked, two still open)
-- that draw on the sales order lines; the two months before, three sales orders and seven
-- tasks (six checked, one left open); and the stock the materials come out of.
--
-- The figures agree with each other: FCurStock is the sum of a product's t_Balance rows,
-- the batch rows of a batch-managed product add up to its t_Balance row, a sales order
-- line's FProtaskFinishNumber is the sum of the checked tasks made from it (the only
-- thing checking a task writes besides its checker), and T_BillCode holds the last
-- sequence used in each month that has bills.

SET NAMES utf8mb4;

SET @ym = DATE_FORMAT(NOW(), '%Y%m');
-- this month's dates are written as CONCAT(@m, 'dd')
SET @m = DATE_FORMAT(NOW(), '%Y-%m-');
SET @today = CURDATE();
SET @lastIn = TIMESTAMP(DATE_SUB(CURDATE(), INTERVAL 18 DAY), '10:30:00');
SET @lastOut = TIMESTAMP(DATE_SUB(CURDATE(), INTERVAL 12 DAY), '15:10:00');
-- last month (@ym1, @m1) and the month before (@ym2, @m2), written the same way
SET @ym1 = DATE_FORMAT(DATE_SUB(CURDATE(), INTERVAL 1 MONTH), '%Y%m');
SET @m1 = DATE_FORMAT(DATE_SUB(CURDATE(), INTERVAL 1 MONTH), '%Y-%m-');
SET @ym2 = DATE_FORMAT(DATE_SUB(CURDATE(), INTERVAL 2 MONTH), '%Y%m');
SET @m2 = DATE_FORMAT(DATE_SUB(CURDATE(), INTERVAL 2 MONTH), '%Y-%m-');
-- the oldest stock lot of each batch-managed material the tasks use (see
-- t_comProductBatchNo below): the lot a task's material line names
SET @paintLot = DATE_SUB(CURDATE(), INTERVAL 150 DAY);
SET @varnishLot = DATE_SUB(CURDATE(), INTERVAL 120 DAY);
SET @glueLot = DATE_SUB(CURDATE(), INTERVAL 200 DAY);
SET @whiteGlueLot = DATE_SUB(CURDATE(), INTERVAL 90 DAY);

-- ---------------------------------------------------------------------------
-- Company, users and rights
-- ---------------------------------------------------------------------------

INSERT INTO t_comCompany (FID, FName, FAddress, FTel, FFax, FContact, FPostCode, FTaxNo, FBank, FBankAccount, FNumberDecimal, FPriceDecimal) VALUES
(1, '宏达办公家具厂', '浙江省安吉县递铺镇工业园区纬三路18号', '0572-5126688', '0572-5126689', '王建国', '313300', '91330523MA2B3C4D5E', '中国工商银行安吉支行', '1205260009020123456', 2, 2);

-- 系统管理员 holds every right (operation rights are looked up by name for every user);
-- 张会计 may open, add, edit, display and print production
-- tasks but not check, uncheck or delete them
INSERT INTO t_comUser (FID, FNo, FName, FCode, FPassword, FRightType, FDeptID) VALUES
(1, '001', '系统管理员', 'XTGLY', NULL, 0, NULL),
(2, '002', '张会计', 'ZKJ', NULL, 1, 5);

INSERT INTO t_comRight (FID, FParentID, Fvalue, FName) VALUES
(1, 0, 'Bill.Protask', '生产任务单'),
(2, 1, 'Bill.Protask.Add', '生产任务单-新增'),
(3, 1, 'Bill.Protask.Edit', '生产任务单-修改'),
(4, 1, 'Bill.Protask.Display', '生产任务单-查看'),
(5, 1, 'Bill.Protask.Del', '生产任务单-删除'),
(6, 1, 'Bill.Protask.Check', '生产任务单-审核'),
(7, 1, 'Bill.Protask.UnCheck', '生产任务单-反审核'),
(8, 1, 'Bill.Protask.Print', '生产任务单-打印'),
(9, 1, 'Bill.Protask.ExportOut', '生产任务单-导出'),
(10, 0, 'Bill.SaleOrder', '销售订单'),
(11, 10, 'Bill.SaleOrder.Display', '销售订单-查看'),
(12, 0, 'Com.Product', '商品资料'),
(13, 0, 'Com.Customer', '客户资料'),
(14, 0, 'Com.Supplier', '供应商资料'),
(15, 0, 'Com.Employee', '职员资料'),
(16, 0, 'Com.Dept', '部门资料'),
(17, 0, 'Com.Unit', '计量单位'),
(18, 0, 'Com.Storehouse', '仓库资料');

INSERT INTO t_comUserRight (FUserID, FRightID) VALUES
(1, 1), (1, 2), (1, 3), (1, 4), (1, 5), (1, 6), (1, 7), (1, 8), (1, 9), (1, 10), (1, 11), (1, 12), (1, 13),
(1, 14), (1, 15), (1, 16), (1, 17), (1, 18),
(2, 1), (2, 2), (2, 3), (2, 4), (2, 8),
(2, 12), (2, 13), (2, 15), (2, 16), (2, 17);

-- ---------------------------------------------------------------------------
-- System parameters
-- ---------------------------------------------------------------------------

INSERT INTO t_comparameters (FID, FName, FTypeID, FIntValue, FBoolValue, FCharValue, FFloatValue, FDatetimeValue, FNote) VALUES
(1, 'FIsCheckBill', 2, NULL, 1, NULL, NULL, NULL, '单据需要审核'),
(2, 'FIsSaveCheck', 2, NULL, 0, NULL, NULL, NULL, '保存单据时同时审核'),
(3, 'FIsUseRight', 1, 1, NULL, NULL, NULL, NULL, '启用操作权限'),
(4, 'FIsTax', 2, NULL, 0, NULL, NULL, NULL, '单据计算税额'),
(5, 'FTaxRate', 4, NULL, NULL, NULL, 13, NULL, '默认税率(%)'),
(6, 'FBluePriceMarkOff', 2, NULL, 0, NULL, NULL, NULL, '关闭销售单价变动蓝色字体提醒'),
(7, 'FSalePriceVariationHint', 2, NULL, 0, NULL, NULL, NULL, '关闭销售单价变动提示'),
(8, 'FForbidNegativeStock', 2, NULL, 0, NULL, NULL, NULL, '禁止负库存出库'),
(9, 'FAskNegativeStock', 2, NULL, 1, NULL, NULL, NULL, '库存不足时提示是否继续'),
(10, 'FForbidNegativeBatchStock', 2, NULL, 0, NULL, NULL, NULL, '禁止负批次库存'),
(11, 'FWarnNegativeBatchStock', 2, NULL, 1, NULL, NULL, NULL, '批次库存不足时提示是否继续'),
(12, 'FWidthHeightLength', 1, 0, NULL, NULL, NULL, NULL, '长宽高计算方式: 0 不计算, 1 面积为数量, 2 面积为单价'),
(13, 'FAccCloseDate', 5, NULL, NULL, NULL, NULL, LAST_DAY(DATE_SUB(CURDATE(), INTERVAL 3 MONTH)), '最后一次结帐日期');

-- ---------------------------------------------------------------------------
-- Bill types and the numbering counters of the months with bills
-- ---------------------------------------------------------------------------

-- FID is the bill type less 3000; FKD numbers the payment bills that rebates create
INSERT INTO T_BillType (FID, FBillTypeID, FBillTypeNo, FPreCode, FBillName, FPrintStyle) VALUES
(1, 3001, 'CGDD', 'CGDD', '采购订单', 1),
(2, 3002, 'JHD', 'JHD', '进货单', 1),
(3, 3003, 'XSDD', 'XSDD', '销售订单', 1),
(4, 3004, 'CHD', 'CHD', '出货单', 1),
(5, 3005, 'LSD', 'LSD', '零售单', 1),
(6, 3006, 'DSD', 'DSD', '代售单', 1),
(7, 3007, 'SKD', 'SKD', '收款单', 1),
(8, 3008, 'FKD', 'FKD', '付款单', 1),
(10, 3010, 'FYD', 'FYD', '费用单', 1),
(11, 3011, 'PDD', 'PDD', '盘点单', 1),
(14, 3014, 'SZD', 'SZD', '收支单', 1),
(15, 3015, 'CGTH', 'CGTH', '采购退货单', 1),
(16, 3016, 'XSTH', 'XSTH', '销售退货单', 1),
(17, 3017, 'FLD', 'FLD', '返利单', 1),
(18, 3018, 'DBD', 'DBD', '调拨单', 1),
(19, 3019, 'QTRK', 'QTRK', '其它入库单', 1),
(20, 3020, 'QTCK', 'QTCK', '其它出库单', 1),
(21, 3021, 'BYD', 'BYD', '报溢单', 1),
(22, 3022, 'BSD', 'BSD', '报损单', 1),
(25, 3025, 'ZZD', 'ZZD', '组装单', 1),
(26, 3026, 'CXD', 'CXD', '拆卸单', 1),
(41, 3041, 'XSSK', 'XSSK', '销售收款单', 1),
(42, 3042, 'CGFK', 'CGFK', '采购付款单', 1),
(43, 3043, 'CBTJ', 'CBTJ', '成本调价单', 1),
(49, 3049, 'RWD', 'RWD', '生产任务单', 1),
(89, 3089, 'LLD', 'LLD', '生产领料单', 1),
(90, 3090, 'WGRK', 'WGRK', '完工入库单', 1);

INSERT INTO T_BillCode (FBillTypeID, FPreCode, FYearMonth, FCurNo) VALUES
(3, 'XSDD', @ym2, 2),
(3, 'XSDD', @ym1, 1),
(3, 'XSDD', @ym, 4),
(49, 'RWD', @ym2, 4),
(49, 'RWD', @ym1, 3),
(49, 'RWD', @ym, 5);

-- ---------------------------------------------------------------------------
-- Master data
-- ---------------------------------------------------------------------------

INSERT INTO t_comUnit (FID, FNo, FName, FCode) VALUES
(1, '01', '个', 'G'),
(2, '02', '件', 'J'),
(3, '03', '箱', 'X'),
(4, '04', '千克', 'QK'),
(5, '05', '米', 'M'),
(6, '06', '套', 'T'),
(7, '07', '张', 'Z'),
(8, '08', '卷', 'J'),
(9, '09', '桶', 'T'),
(10, '10', '根', 'G'),
(11, '11', '把', 'B'),
(12, '12', '盒', 'H'),
(13, '13', '包', 'B'),
(14, '14', '块', 'K'),
(15, '15', '对', 'D'),
(16, '16', '支', 'Z'),
(17, '17', '升', 'S');

INSERT INTO t_comdepartment (FID, FNo, FName, FCode) VALUES
(1, '01', '生产部', 'SCB'),
(2, '02', '销售部', 'XSB'),
(3, '03', '采购部', 'CGB'),
(4, '04', '仓储部', 'CCB'),
(5, '05', '财务部', 'CWB'),
(6, '06', '行政部', 'XZB');

INSERT INTO t_comEmployee (FID, FNo, FName, FCode, FDeptID, FPhone) VALUES
(1, 'E001', '王建国', 'WJG', 1, '13905726001'),
(2, 'E002', '李秀英', 'LXY', 2, '13905726002'),
(3, 'E003', '张伟', 'ZW', 1, '13905726003'),
(4, 'E004', '刘洋', 'LY', 3, '13905726004'),
(5, 'E005', '陈静', 'CJ', 5, '13905726005'),
(6, 'E006', '赵磊', 'ZL', 4, '13905726006'),
(7, 'E007', '孙丽', 'SL', 2, '13905726007'),
(8, 'E008', '周强', 'ZQ', 1, '13905726008');

INSERT INTO t_comStorehouse (FID, FNo, FName, FCode, FAddress) VALUES
(1, '01', '原料仓', 'YLC', '一号厂房东侧'),
(2, '02', '辅料仓', 'FLC', '一号厂房北侧'),
(3, '03', '成品仓', 'CPC', '二号厂房');

INSERT INTO t_comItem (FID, FNo, FName, FCode, FItemType) VALUES
(1, '01', '现金结算', 'XJJS', 1),
(2, '02', '银行转账', 'YHZZ', 1),
(3, '03', '月结', 'YJ', 1),
(4, '04', '货到付款', 'HDFK', 1),
(5, '05', '废料收入', 'FLSR', 2),
(6, '06', '运输费', 'YSF', 3),
(7, '07', '水电费', 'SDF', 3),
(8, '08', '房租', 'FZ', 3);

INSERT INTO t_comCash (FID, FNo, FName, FCode, FBankAccount, FBalance) VALUES
(1, '01', '现金', 'XJ', NULL, 8650.00),
(2, '02', '工商银行基本户', 'GSYHJBH', '1205260009020123456', 156320.50);

INSERT INTO t_comVIP (FID, FNo, FName, FCode, FPhone, FDiscountRate) VALUES
(1, 'V0001', '陈先生', 'CXS', '13857201234', 95),
(2, 'V0002', '林女士', 'LNS', '13957205678', 98);

-- clients (FType 1) and suppliers (FType 2); balances are what earlier business left
-- open. 零售客户 is the system's walk-in client.
INSERT INTO t_comClient (FID, FNo, FName, FCode, FType, FPrePriceID, FIsActive, FIsSystem, FContact, FPhone, FTel, FAddress, FTotalAmount, FPayAmount, FUnPayAmount, FLastInOuDateTime, FClientUserDefined1, FClientUserDefined2) VALUES
(1, 'KH000', '零售客户', 'LSKH', 1, 0, 1, 1, NULL, NULL, NULL, NULL, 0, 0, 0, NULL, NULL, NULL),
(2, 'KH001', '东方家私广场', 'DFJSGC', 1, 1, 1, 0, '郑经理', '13806721188', '0572-2211888', '湖州市吴兴区红旗路168号', 186500.00, 150000.00, 36500.00, @lastOut, '农业银行湖州分行', '19100101040012345'),
(3, 'KH002', '华联办公用品有限公司', 'HLBGYPYXGS', 1, 2, 1, 0, '吴小姐', '13757298866', '0571-86612345', '杭州市拱墅区湖墅南路58号', 98200.00, 98200.00, 0, @lastOut, '建设银行杭州分行', '33001616735059001234'),
(4, 'KH003', '新世纪酒店', 'XSJJD', 1, 3, 1, 0, '钱主管', '13587256677', '0572-5338899', '安吉县灵峰路8号', 52800.00, 30000.00, 22800.00, @lastOut, NULL, NULL),
(5, 'KH004', '市第一中学', 'SDYZX', 1, 0, 1, 0, '冯老师', '13665721234', '0572-5012345', '安吉县昌硕西路1号', 0, 0, 0, NULL, NULL, NULL),
(6, 'KH005', '恒通贸易公司', 'HTMYGS', 1, 1, 1, 0, '何先生', '13967213344', NULL, '长兴县雉城镇金陵路22号', 12600.00, 12600.00, 0, NULL, NULL, NULL),
(7, 'KH006', '金桥物业管理有限公司', 'JQWYGLYXGS', 1, 2, 1, 0, '许经理', '13819285566', NULL, '德清县武康镇英溪南路9号', 8600.00, 8600.00, 0, NULL, NULL, NULL),
(8, 'GYS001', '恒丰五金经营部', 'HFWJJYB', 2, 0, 1, 0, '马老板', '13905721111', '0572-5120001', '安吉县五金市场A区12号', 268400.00, 240000.00, 28400.00, @lastIn, '工商银行安吉支行', '1205260009020567890'),
(9, 'GYS002', '永盛木业有限公司', 'YSMYYXGS', 2, 0, 1, 0, '朱经理', '13905722222', '0572-5120002', '安吉县孝丰镇工业区', 175600.00, 175600.00, 0, @lastIn, '农业银行安吉支行', '19150101040098765'),
(10, 'GYS003', '彩虹涂料经销处', 'CHTLJXC', 2, 0, 1, 0, '沈先生', '13905723333', NULL, '安吉县天荒坪路77号', 46300.00, 40000.00, 6300.00, @lastIn, NULL, NULL),
(11, 'GYS004', '鑫源海绵厂', 'XYHMC', 2, 0, 1, 0, '韩厂长', '13905724444', NULL, '长兴县泗安镇工业园', 32100.00, 32100.00, 0, @lastIn, NULL, NULL),
(12, 'GYS005', '锦华布艺面料店', 'JHBYMLD', 2, 0, 1, 0, '杨小姐', '13905725555', NULL, '湖州市织里镇珍贝路3号', 41800.00, 35000.00, 6800.00, @lastIn, NULL, NULL),
(13, 'GYS006', '顺达包装材料厂', 'SDBZCLC', 2, 0, 1, 0, '秦先生', '13905726666', NULL, '安吉县递铺镇横溪坞村', 9600.00, 9600.00, 0, @lastIn, NULL, NULL);

-- ---------------------------------------------------------------------------
-- Products, prices and stock
-- ---------------------------------------------------------------------------

-- products: base unit row FSID 1 (ratio 1) and, for most, a bigger packing unit as FSID 2.
-- FgroupID 1 finished goods, 2 raw materials, 3 auxiliary materials. Batch-managed products
-- carry their shelf life in days (FEffectiveDate). FCurStock is the sum of the product's
-- t_Balance rows.
INSERT INTO t_comProducts (FID, FgroupID, FNo, FName, FCode, FStdUnitID, FUnitID, FRatio, FCurStock, FIsBatchNo, FEffectiveDate, FIsActive, FProductDefined1, FProductDefined2, FProductDefined3) VALUES
(1, 1, 'CP0001', '办公椅', 'BGY', 11, 11, 1, 45, 0, NULL, 1, '网布中背带扶手', '黑色', '网布/钢架'),
(2, 1, 'CP0002', '转椅', 'ZY', 11, 11, 1, 30, 0, NULL, 1, '皮面升降', '黑色', 'PU皮'),
(3, 1, 'CP0003', '书柜', 'SG', 1, 1, 1, 12, 0, NULL, 1, '800*400*2000', '胡桃木色', '中纤板'),
(4, 1, 'CP0004', '钢制文件柜', 'GZWJG', 1, 1, 1, 8, 0, NULL, 1, '900*400*1850', '灰白', '冷轧钢板'),
(5, 1, 'CP0005', '办公桌', 'BGZ', 7, 7, 1, 15, 0, NULL, 1, '1400*700*750', '胡桃木色', '中纤板'),
(6, 1, 'CP0006', '会议桌', 'HYZ', 7, 7, 1, 3, 0, NULL, 1, '3600*1400*760', '胡桃木色', '中纤板/实木'),
(7, 1, 'CP0007', '三人沙发', 'SRSF', 6, 6, 1, 4, 0, NULL, 1, '2000*850*800', '咖啡色', '皮革/海绵'),
(8, 1, 'CP0008', '茶几', 'CJ', 7, 7, 1, 6, 0, NULL, 1, '1200*600*450', '胡桃木色', '钢化玻璃/中纤板'),
(9, 1, 'CP0009', '电脑桌', 'DNZ', 7, 7, 1, 20, 0, NULL, 1, '1200*600*750', '白橡色', '中纤板'),
(10, 1, 'CP0010', '铁皮更衣柜', 'TPGYG', 1, 1, 1, 10, 0, NULL, 1, '900*500*1850', '灰白', '冷轧钢板'),
(11, 1, 'CP0011', '折叠椅', 'ZDY', 11, 3, 4, 120, 0, NULL, 1, '钢架软包', '黑色', '钢管/海绵'),
(12, 1, 'CP0012', '床头柜', 'CTG', 1, 15, 2, 6, 0, NULL, 1, '500*400*550', '胡桃木色', '中纤板'),
(13, 1, 'CP0013', '转椅(旧款)', 'ZYJK', 11, 11, 1, 0, 0, NULL, 0, '皮面固定', '黑色', 'PU皮'),
(14, 2, 'YL0001', '钢管', 'GG', 5, 10, 6, 800, 0, NULL, 1, '直径25*1.2mm', NULL, 'Q235'),
(15, 2, 'YL0002', '方钢管', 'FGG', 5, 10, 6, 300, 0, NULL, 1, '20*40*1.2mm', NULL, 'Q235'),
(16, 2, 'YL0003', '冷轧钢板', 'LZGB', 7, 7, 1, 150, 0, NULL, 1, '1250*2500*0.8mm', NULL, 'SPCC'),
(17, 2, 'YL0004', '螺丝钉', 'LSD', 1, 12, 500, 15000, 0, NULL, 1, 'M4*16', NULL, '镀锌'),
(18, 2, 'YL0005', '自攻螺丝', 'ZGLS', 1, 12, 1000, 8000, 0, NULL, 1, 'ST4.2*25', NULL, '镀锌'),
(19, 2, 'YL0006', '膨胀螺栓', 'PZLS', 1, 12, 100, 200, 0, NULL, 1, 'M8*80', NULL, '镀锌'),
(20, 2, 'YL0007', '木板', 'MB', 7, 7, 1, 60, 0, NULL, 1, '1220*2440*18mm', NULL, '多层板'),
(21, 2, 'YL0008', '中纤板', 'ZXB', 7, 7, 1, 120, 0, NULL, 1, '1220*2440*18mm', '胡桃木色', '中纤板'),
(22, 2, 'YL0009', '实木条', 'SMT', 5, 10, 2.4, 400, 0, NULL, 1, '40*40mm', NULL, '橡木'),
(23, 2, 'YL0010', '海绵', 'HM', 4, 13, 25, 90, 0, NULL, 1, '高密度35D', NULL, NULL),
(24, 2, 'YL0011', '面料', 'ML', 5, 8, 50, 260, 0, NULL, 1, '网布幅宽1.5米', '黑色', NULL),
(25, 2, 'YL0012', '皮革', 'PG', 5, 8, 30, 80, 0, NULL, 1, 'PU皮幅宽1.4米', '咖啡色', NULL),
(26, 2, 'YL0013', '椅轮', 'YL', 1, 3, 200, 600, 0, NULL, 1, '60mm尼龙', NULL, NULL),
(27, 2, 'YL0014', '气杆', 'QG', 10, 3, 30, 150, 0, NULL, 1, '三级100mm', NULL, NULL),
(28, 2, 'YL0015', '扶手', 'FS', 15, 3, 20, 120, 0, NULL, 1, 'PP固定扶手', '黑色', NULL),
(29, 2, 'YL0016', '铰链', 'JL', 1, 12, 100, 900, 0, NULL, 1, '不锈钢4寸', NULL, NULL),
(30, 2, 'YL0017', '拉手', 'LS', 1, 12, 50, 400, 0, NULL, 1, '铝合金128mm', NULL, NULL),
(31, 2, 'YL0018', '导轨', 'DG', 15, 3, 20, -4, 0, NULL, 1, '三节滚珠400mm', NULL, NULL),
(32, 2, 'YL0019', '锁具', 'SJ', 11, 12, 20, 180, 0, NULL, 1, '文件柜锁', NULL, NULL),
(33, 2, 'YL0020', '封边条', 'FBT', 5, 8, 200, 1500, 0, NULL, 1, 'PVC 22*1mm', '胡桃木色', NULL),
(34, 2, 'YL0021', '玻璃', 'BL', 14, 14, 1, 40, 0, NULL, 1, '钢化1200*600*8mm', NULL, NULL),
(35, 2, 'YL0022', '塑料脚垫', 'SLJD', 1, 13, 100, 2000, 0, NULL, 1, '方管脚垫20*40', NULL, NULL),
(36, 2, 'YL0023', '焊丝', 'HS', 4, 8, 15, 40, 0, NULL, 1, '直径0.8mm', NULL, NULL),
(37, 3, 'FL0001', '油漆', 'YQ', 4, 9, 20, 200, 1, 365, 1, '金属烤漆', '灰白', NULL),
(38, 3, 'FL0002', '清漆', 'QQ', 4, 9, 15, 60, 1, 365, 1, '聚酯清漆', NULL, NULL),
(39, 3, 'FL0003', '胶水', 'JS', 4, 9, 18, 24, 1, 180, 1, '万能胶', NULL, NULL),
(40, 3, 'FL0004', '白乳胶', 'BRJ', 4, 9, 25, 50, 1, 180, 1, '木工白乳胶', NULL, NULL),
(41, 3, 'FL0005', '稀释剂', 'XSJ', 4, 9, 16, 40, 1, 730, 1, '聚酯稀释剂', NULL, NULL),
(42, 3, 'FL0006', '包装纸箱', 'BZZX', 1, 13, 20, 300, 0, NULL, 1, '五层瓦楞', NULL, NULL),
(43, 3, 'FL0007', '泡沫板', 'PMB', 14, 13, 10, 200, 0, NULL, 1, '1000*500*20mm', NULL, NULL),
(44, 3, 'FL0008', '缠绕膜', 'CRM', 8, 3, 6, 30, 0, NULL, 1, '宽50cm', NULL, NULL),
(45, 3, 'FL0009', '砂纸', 'SZ', 7, 13, 100, 500, 0, NULL, 1, '240目', NULL, NULL);

INSERT INTO t_comProductUnit (FProductID, FSID, FUnitID, FRatio, FBarCode, FPosPrice, FPrePrice1, FPrePrice2, FPrePrice3, FAtaSalePosPrice, FLastInPrice, FLastInDate, FLastOutPrice, FLastOutDate) VALUES
(1, 1, 11, 1, '6923456700001', 298, 268, 258, 248, NULL, NULL, NULL, 268, @lastOut),
(2, 1, 11, 1, '6923456700002', 168, 150, 145, 138, NULL, NULL, NULL, 150, @lastOut),
(3, 1, 1, 1, '6923456700003', 680, 620, 600, 580, NULL, NULL, NULL, 620, @lastOut),
(4, 1, 1, 1, '6923456700004', 560, 520, 505, 490, NULL, NULL, NULL, 520, @lastOut),
(5, 1, 7, 1, '6923456700005', 780, 720, 700, 680, NULL, NULL, NULL, 720, @lastOut),
(6, 1, 7, 1, '6923456700006', 3200, 2980, 2900, 2800, NULL, NULL, NULL, 2980, @lastOut),
(7, 1, 6, 1, '6923456700007', 2580, 2380, 2300, 2250, NULL, NULL, NULL, 2300, @lastOut),
(8, 1, 7, 1, '6923456700008', 680, 620, 600, 580, NULL, NULL, NULL, 600, @lastOut),
(9, 1, 7, 1, '6923456700009', 380, 350, 340, 330, NULL, NULL, NULL, 350, @lastOut),
(10, 1, 1, 1, '6923456700010', 620, 580, 565, 550, NULL, NULL, NULL, 580, @lastOut),
(11, 1, 11, 1, '6923456700011', 65, 58, 56, 54, NULL, NULL, NULL, 58, @lastOut),
(11, 2, 3, 4, NULL, 260, 232, 224, 216, NULL, NULL, NULL, 232, @lastOut),
(12, 1, 1, 1, '6923456700012', 420, 390, 380, 370, NULL, NULL, NULL, 380, @lastOut),
(12, 2, 15, 2, NULL, 840, 780, 760, 740, NULL, NULL, NULL, 760, @lastOut),
(13, 1, 11, 1, '6923456700013', 138, 125, 120, 115, NULL, NULL, NULL, 125, @lastOut),
(14, 1, 5, 1, NULL, 15, NULL, NULL, NULL, NULL, 12, @lastIn, NULL, NULL),
(14, 2, 10, 6, NULL, 90, NULL, NULL, NULL, NULL, 72, @lastIn, NULL, NULL),
(15, 1, 5, 1, NULL, 18, NULL, NULL, NULL, NULL, 14.50, @lastIn, NULL, NULL),
(15, 2, 10, 6, NULL, 108, NULL, NULL, NULL, NULL, 87.00, @lastIn, NULL, NULL),
(16, 1, 7, 1, NULL, 120, NULL, NULL, NULL, NULL, 95, @lastIn, NULL, NULL),
(17, 1, 1, 1, NULL, 0.10, NULL, NULL, NULL, NULL, 0.08, @lastIn, NULL, NULL),
(17, 2, 12, 500, NULL, 50.00, NULL, NULL, NULL, NULL, 40.00, @lastIn, NULL, NULL),
(18, 1, 1, 1, NULL, 0.08, NULL, NULL, NULL, NULL, 0.05, @lastIn, NULL, NULL),
(18, 2, 12, 1000, NULL, 80.00, NULL, NULL, NULL, NULL, 50.00, @lastIn, NULL, NULL),
(19, 1, 1, 1, NULL, 0.80, NULL, NULL, NULL, NULL, 0.60, @lastIn, NULL, NULL),
(19, 2, 12, 100, NULL, 80.00, NULL, NULL, NULL, NULL, 60.00, @lastIn, NULL, NULL),
(20, 1, 7, 1, NULL, 110, NULL, NULL, NULL, NULL, 85, @lastIn, NULL, NULL),
(21, 1, 7, 1, NULL, 88, NULL, NULL, NULL, NULL, 68, @lastIn, NULL, NULL),
(22, 1, 5, 1, NULL, 11, NULL, NULL, NULL, NULL, 8.50, @lastIn, NULL, NULL),
(22, 2, 10, 2.4, NULL, 26.40, NULL, NULL, NULL, NULL, 20.40, @lastIn, NULL, NULL),
(23, 1, 4, 1, NULL, 24, NULL, NULL, NULL, NULL, 18, @lastIn, NULL, NULL),
(23, 2, 13, 25, NULL, 600, NULL, NULL, NULL, NULL, 450, @lastIn, NULL, NULL),
(24, 1, 5, 1, NULL, 32, NULL, NULL, NULL, NULL, 25, @lastIn, NULL, NULL),
(24, 2, 8, 50, NULL, 1600, NULL, NULL, NULL, NULL, 1250, @lastIn, NULL, NULL),
(25, 1, 5, 1, NULL, 60, NULL, NULL, NULL, NULL, 46, @lastIn, NULL, NULL),
(25, 2, 8, 30, NULL, 1800, NULL, NULL, NULL, NULL, 1380, @lastIn, NULL, NULL),
(26, 1, 1, 1, NULL, 4.50, NULL, NULL, NULL, NULL, 3.50, @lastIn, NULL, NULL),
(26, 2, 3, 200, NULL, 900.00, NULL, NULL, NULL, NULL, 700.00, @lastIn, NULL, NULL),
(27, 1, 10, 1, NULL, 36, NULL, NULL, NULL, NULL, 28, @lastIn, NULL, NULL),
(27, 2, 3, 30, NULL, 1080, NULL, NULL, NULL, NULL, 840, @lastIn, NULL, NULL),
(28, 1, 15, 1, NULL, 28, NULL, NULL, NULL, NULL, 22, @lastIn, NULL, NULL),
(28, 2, 3, 20, NULL, 560, NULL, NULL, NULL, NULL, 440, @lastIn, NULL, NULL),
(29, 1, 1, 1, NULL, 3.60, NULL, NULL, NULL, NULL, 2.80, @lastIn, NULL, NULL),
(29, 2, 12, 100, NULL, 360.00, NULL, NULL, NULL, NULL, 280.00, @lastIn, NULL, NULL),
(30, 1, 1, 1, NULL, 6, NULL, NULL, NULL, NULL, 4.50, @lastIn, NULL, NULL),
(30, 2, 12, 50, NULL, 300, NULL, NULL, NULL, NULL, 225.00, @lastIn, NULL, NULL),
(31, 1, 15, 1, NULL, 12, NULL, NULL, NULL, NULL, 9, @lastIn, NULL, NULL),
(31, 2, 3, 20, NULL, 240, NULL, NULL, NULL, NULL, 180, @lastIn, NULL, NULL),
(32, 1, 11, 1, NULL, 16, NULL, NULL, NULL, NULL, 12, @lastIn, NULL, NULL),
(32, 2, 12, 20, NULL, 320, NULL, NULL, NULL, NULL, 240, @lastIn, NULL, NULL),
(33, 1, 5, 1, NULL, 0.80, NULL, NULL, NULL, NULL, 0.60, @lastIn, NULL, NULL),
(33, 2, 8, 200, NULL, 160.00, NULL, NULL, NULL, NULL, 120.00, @lastIn, NULL, NULL),
(34, 1, 14, 1, NULL, 58, NULL, NULL, NULL, NULL, 45, @lastIn, NULL, NULL),
(35, 1, 1, 1, NULL, 0.40, NULL, NULL, NULL, NULL, 0.30, @lastIn, NULL, NULL),
(35, 2, 13, 100, NULL, 40.00, NULL, NULL, NULL, NULL, 30.00, @lastIn, NULL, NULL),
(36, 1, 4, 1, NULL, 14, NULL, NULL, NULL, NULL, 11, @lastIn, NULL, NULL),
(36, 2, 8, 15, NULL, 210, NULL, NULL, NULL, NULL, 165, @lastIn, NULL, NULL),
(37, 1, 4, 1, NULL, 42, NULL, NULL, NULL, NULL, 32, @lastIn, NULL, NULL),
(37, 2, 9, 20, NULL, 840, NULL, NULL, NULL, NULL, 640, @lastIn, NULL, NULL),
(38, 1, 4, 1, NULL, 36, NULL, NULL, NULL, NULL, 28, @lastIn, NULL, NULL),
(38, 2, 9, 15, NULL, 540, NULL, NULL, NULL, NULL, 420, @lastIn, NULL, NULL),
(39, 1, 4, 1, NULL, 20, NULL, NULL, NULL, NULL, 15, @lastIn, NULL, NULL),
(39, 2, 9, 18, NULL, 360, NULL, NULL, NULL, NULL, 270, @lastIn, NULL, NULL),
(40, 1, 4, 1, NULL, 12, NULL, NULL, NULL, NULL, 9, @lastIn, NULL, NULL),
(40, 2, 9, 25, NULL, 300, NULL, NULL, NULL, NULL, 225, @lastIn, NULL, NULL),
(41, 1, 4, 1, NULL, 17, NULL, NULL, NULL, NULL, 13, @lastIn, NULL, NULL),
(41, 2, 9, 16, NULL, 272, NULL, NULL, NULL, NULL, 208, @lastIn, NULL, NULL),
(42, 1, 1, 1, NULL, 8.50, NULL, NULL, NULL, NULL, 6.50, @lastIn, NULL, NULL),
(42, 2, 13, 20, NULL, 170.00, NULL, NULL, NULL, NULL, 130.00, @lastIn, NULL, NULL),
(43, 1, 14, 1, NULL, 4, NULL, NULL, NULL, NULL, 3, @lastIn, NULL, NULL),
(43, 2, 13, 10, NULL, 40, NULL, NULL, NULL, NULL, 30, @lastIn, NULL, NULL),
(44, 1, 8, 1, NULL, 48, NULL, NULL, NULL, NULL, 38, @lastIn, NULL, NULL),
(44, 2, 3, 6, NULL, 288, NULL, NULL, NULL, NULL, 228, @lastIn, NULL, NULL),
(45, 1, 7, 1, NULL, 0.70, NULL, NULL, NULL, NULL, 0.50, @lastIn, NULL, NULL),
(45, 2, 13, 100, NULL, 70.00, NULL, NULL, NULL, NULL, 50.00, @lastIn, NULL, NULL);

-- stock by storehouse (1 原料仓, 2 辅料仓, 3 成品仓) in base units
INSERT INTO t_Balance (FStorehouseID, FProductID, FNumber) VALUES
(1, 14, 800),
(1, 15, 300),
(1, 16, 150),
(1, 17, 12000),
(1, 18, 8000),
(1, 19, 200),
(1, 20, 60),
(1, 21, 120),
(1, 22, 400),
(1, 23, 90),
(1, 24, 260),
(1, 25, 80),
(1, 26, 600),
(1, 27, 150),
(1, 28, 120),
(1, 29, 900),
(1, 30, 400),
(1, 31, -4),
(1, 32, 180),
(1, 33, 1500),
(1, 34, 40),
(1, 35, 2000),
(1, 36, 40),
(2, 17, 3000),
(2, 37, 200),
(2, 38, 60),
(2, 39, 24),
(2, 40, 50),
(2, 41, 40),
(2, 42, 300),
(2, 43, 200),
(2, 44, 30),
(2, 45, 500),
(3, 1, 45),
(3, 2, 30),
(3, 3, 12),
(3, 4, 8),
(3, 5, 15),
(3, 6, 3),
(3, 7, 4),
(3, 8, 6),
(3, 9, 20),
(3, 10, 10),
(3, 11, 120),
(3, 12, 6);

-- batch stock of the batch-managed products; the rows of a product and storehouse add up
-- to its t_Balance row. The batch number is the maker's lot: production date and a suffix.
INSERT INTO t_comProductBatchNo (FStorehouseID, FProductID, FBatchNo1, FKFDate, FKFPeriod, FPeriodDate, FNumber, FAmount) VALUES
(2, 37, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 150 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 150 DAY), 365, DATE_ADD(DATE_SUB(@today, INTERVAL 150 DAY), INTERVAL 365 DAY), 120, 3780.00),
(2, 37, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 40 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 40 DAY), 365, DATE_ADD(DATE_SUB(@today, INTERVAL 40 DAY), INTERVAL 365 DAY), 80, 2560),
(2, 38, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 120 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 120 DAY), 365, DATE_ADD(DATE_SUB(@today, INTERVAL 120 DAY), INTERVAL 365 DAY), 35, 980),
(2, 38, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 20 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 20 DAY), 365, DATE_ADD(DATE_SUB(@today, INTERVAL 20 DAY), INTERVAL 365 DAY), 25, 700),
(2, 39, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 200 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 200 DAY), 180, DATE_ADD(DATE_SUB(@today, INTERVAL 200 DAY), INTERVAL 180 DAY), 0, 0.00),
(2, 39, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 60 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 60 DAY), 180, DATE_ADD(DATE_SUB(@today, INTERVAL 60 DAY), INTERVAL 180 DAY), 24, 360),
(2, 40, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 90 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 90 DAY), 180, DATE_ADD(DATE_SUB(@today, INTERVAL 90 DAY), INTERVAL 180 DAY), 50, 450),
(2, 41, CONCAT(DATE_FORMAT(DATE_SUB(@today, INTERVAL 30 DAY), '%Y%m%d'), '-01'), DATE_SUB(@today, INTERVAL 30 DAY), 730, DATE_ADD(DATE_SUB(@today, INTERVAL 30 DAY), INTERVAL 730 DAY), 40, 520);

-- agreed prices of two regular clients (base unit)
INSERT INTO t_comProductsPrice (FClientID, FProductID, FUnitID, FNumber, FPrice, FAmount, FDate) VALUES
(2, 1, 11, 60, 255, 15300.00, @lastOut),
(4, 7, 6, 6, 2200, 13200.00, @lastOut);

-- ---------------------------------------------------------------------------
-- Sales orders of this month: 00001-00003 checked, 00004 still open. Production has
-- started on 办公椅 and 钢制文件柜 (FProtaskFinishNumber), 华联's cabinets are fully planned.
-- ---------------------------------------------------------------------------

INSERT INTO t_SaleOrderForm (FID, FTypeID, FBillTypeID, FBillNo, FBillDate, FClientID, FSaleEmpID, FDeliverDate, FAddr, FSettlementID, FFinishType, FAmount, FDiscountRate, FDiscountAmount, FReceiveAmount, FCashID, FBillerID, FBillerDate, FCheckerID, FCheckerDate, FIsChecked) VALUES
(1, 3, 1, CONCAT('XSDD', @ym, '00001'), CONCAT(@m, '01'), 2, 2, CONCAT(@m, '25'), '东方家私广场B座三楼仓库', 3, 0, 53500.00, 100, 53500.00, 0, NULL, 1, CONCAT(@m, '01 10:05:00'), 1, CONCAT(@m, '01 16:20:00'), 1),
(2, 3, 1, CONCAT('XSDD', @ym, '00002'), CONCAT(@m, '02'), 3, 7, CONCAT(@m, '20'), '华联办公用品有限公司城东仓库', 3, 0, 32250.00, 100, 32250.00, 0, NULL, 1, CONCAT(@m, '02 10:05:00'), 1, CONCAT(@m, '02 16:20:00'), 1),
(3, 3, 1, CONCAT('XSDD', @ym, '00003'), CONCAT(@m, '03'), 4, 2, CONCAT(@m, '28'), '新世纪酒店后勤部', 2, 0, 48160.00, 100, 48160.00, 0, NULL, 1, CONCAT(@m, '03 10:05:00'), 1, CONCAT(@m, '03 16:20:00'), 1),
(4, 3, 1, CONCAT('XSDD', @ym, '00004'), CONCAT(@m, '05'), 5, 7, CONCAT(@m, '28'), '市第一中学总务处', 2, 0, 24400.00, 100, 24400.00, 0, NULL, 1, CONCAT(@m, '05 10:05:00'), NULL, NULL, 0);

INSERT INTO t_SaleOrderList (FID, FFormID, FSID, FProductID, FUnitID, FNumber, FPrice, FAmount, FDiscountRate, FDiscountPrice, FDiscountAmount, FTobeDiscountPrice, FTobeDiscountAmount, FIsPresent, FFinishNumber, FPurOrderFinishNumber, FProtaskFinishNumber) VALUES
(1, 1, 1, 1, 11, 100, 255, 25500.00, 100, 255, 25500.00, 255, 25500.00, 0, 0, 0, 30),
(2, 1, 2, 3, 1, 20, 620, 12400.00, 100, 620, 12400.00, 620, 12400.00, 0, 0, 0, 0),
(3, 1, 3, 4, 1, 30, 520, 15600.00, 100, 520, 15600.00, 520, 15600.00, 0, 0, 0, 20),
(4, 2, 1, 4, 1, 50, 505, 25250.00, 100, 505, 25250.00, 505, 25250.00, 0, 0, 0, 50),
(5, 2, 2, 5, 7, 10, 700, 7000.00, 100, 700, 7000.00, 700, 7000.00, 0, 0, 0, 0),
(6, 3, 1, 7, 6, 12, 2200, 26400.00, 100, 2200, 26400.00, 2200, 26400.00, 0, 0, 0, 0),
(7, 3, 2, 8, 7, 12, 580, 6960.00, 100, 580, 6960.00, 580, 6960.00, 0, 0, 0, 0),
(8, 3, 3, 12, 1, 40, 370, 14800.00, 100, 370, 14800.00, 370, 14800.00, 0, 0, 0, 0),
(9, 4, 1, 11, 11, 200, 65, 13000.00, 100, 65, 13000.00, 65, 13000.00, 0, 0, 0, 0),
(10, 4, 2, 9, 7, 30, 380, 11400.00, 100, 380, 11400.00, 380, 11400.00, 0, 0, 0, 0);

-- The orders of the two months before, checked and fully planned: 新世纪酒店's lobby
-- furniture and 东方家私广场's 60 chairs (at the prices now on record as their agreed
-- prices), and 华联's desks last month.
INSERT INTO t_SaleOrderForm (FID, FTypeID, FBillTypeID, FBillNo, FBillDate, FClientID, FSaleEmpID, FDeliverDate, FAddr, FSettlementID, FFinishType, FAmount, FDiscountRate, FDiscountAmount, FReceiveAmount, FCashID, FBillerID, FBillerDate, FCheckerID, FCheckerDate, FIsChecked) VALUES
(5, 3, 1, CONCAT('XSDD', @ym2, '00001'), CONCAT(@m2, '06'), 4, 2, CONCAT(@m2, '25'), '新世纪酒店后勤部', 2, 0, 16680.00, 100, 16680.00, 0, NULL, 1, CONCAT(@m2, '06 10:12:00'), 1, CONCAT(@m2, '06 15:40:00'), 1),
(6, 3, 1, CONCAT('XSDD', @ym2, '00002'), CONCAT(@m2, '12'), 2, 2, CONCAT(@m2, '28'), '东方家私广场B座三楼仓库', 3, 0, 15300.00, 100, 15300.00, 0, NULL, 1, CONCAT(@m2, '12 09:48:00'), 1, CONCAT(@m2, '12 16:05:00'), 1),
(7, 3, 1, CONCAT('XSDD', @ym1, '00001'), CONCAT(@m1, '03'), 3, 7, CONCAT(@m1, '20'), '华联办公用品有限公司城东仓库', 3, 0, 24200.00, 100, 24200.00, 0, NULL, 1, CONCAT(@m1, '03 10:30:00'), 1, CONCAT(@m1, '03 16:10:00'), 1);

INSERT INTO t_SaleOrderList (FID, FFormID, FSID, FProductID, FUnitID, FNumber, FPrice, FAmount, FDiscountRate, FDiscountPrice, FDiscountAmount, FTobeDiscountPrice, FTobeDiscountAmount, FIsPresent, FFinishNumber, FPurOrderFinishNumber, FProtaskFinishNumber) VALUES
(11, 5, 1, 7, 6, 6, 2200, 13200.00, 100, 2200, 13200.00, 2200, 13200.00, 0, 0, 0, 6),
(12, 5, 2, 8, 7, 6, 580, 3480.00, 100, 580, 3480.00, 580, 3480.00, 0, 0, 0, 6),
(13, 6, 1, 1, 11, 60, 255, 15300.00, 100, 255, 15300.00, 255, 15300.00, 0, 0, 0, 60),
(14, 7, 1, 5, 7, 20, 700, 14000.00, 100, 700, 14000.00, 700, 14000.00, 0, 0, 0, 20),
(15, 7, 2, 9, 7, 30, 340, 10200.00, 100, 340, 10200.00, 340, 10200.00, 0, 0, 0, 30);

-- ---------------------------------------------------------------------------
-- Production tasks. This month: 00001-00003 checked, 00004 (second batch of chairs) and
-- 00005 (book cases for stock, no sales order) saved but not checked. The month before
-- last: 00001-00004 checked (the hotel's sofas and tea tables, 60 chairs, lockers for
-- stock). Last month: 00001-00002 checked (华联's desks), 00003 (swivel chairs for stock)
-- saved by 张会计 and never checked. Each line is a material: consumption per finished
-- unit times the task quantity, costed at the last purchase price. Batch-managed
-- materials name the stock lot they come out of, with its dates.
-- ---------------------------------------------------------------------------

INSERT INTO t_ProTaskForm (FID, FTypeID, FBillTypeID, FBillNo, FBillDate, FProDate, FClientID, FProductID, FUnitID, FBatchNo, FNumber, FPrice, FAmount, FFinishNumber, FManagerID, FDeptID, FNote, FFormDefined1, FBillerID, FBillerDate, FCheckerID, FCheckerDate, FIsChecked, FFromBillNo, FFromBillID, FFromListID, FFromBillTypeID) VALUES
(1, 49, NULL, CONCAT('RWD', @ym, '00001'), CONCAT(@m, '02'), CONCAT(@m, '03'), 2, 1, 11, CONCAT('SC', @ym, '-01'), 30, 15, 450.00, 0, 3, 1, '东方家私广场订单首批,月中前交货', CONCAT('HT', @ym, '-007'), 1, CONCAT(@m, '02 09:16:00'), 1, CONCAT(@m, '02 17:30:00'), 1, CONCAT('XSDD', @ym, '00001'), 1, 1, 3),
(2, 49, NULL, CONCAT('RWD', @ym, '00002'), CONCAT(@m, '03'), CONCAT(@m, '04'), 3, 4, 1, CONCAT('SC', @ym, '-02'), 50, 40, 2000.00, 0, 8, 1, '华联订单一次做完', CONCAT('HT', @ym, '-014'), 1, CONCAT(@m, '03 09:22:00'), 1, CONCAT(@m, '03 17:30:00'), 1, CONCAT('XSDD', @ym, '00002'), 2, 4, 3),
(3, 49, NULL, CONCAT('RWD', @ym, '00003'), CONCAT(@m, '04'), CONCAT(@m, '06'), 2, 4, 1, CONCAT('SC', @ym, '-03'), 20, 40, 800.00, 0, 8, 1, '东方家私广场订单首批20个', CONCAT('HT', @ym, '-021'), 1, CONCAT(@m, '04 09:28:00'), 1, CONCAT(@m, '04 17:30:00'), 1, CONCAT('XSDD', @ym, '00001'), 1, 3, 3),
(4, 49, NULL, CONCAT('RWD', @ym, '00004'), CONCAT(@m, '05'), CONCAT(@m, '08'), 2, 1, 11, CONCAT('SC', @ym, '-04'), 40, 15, 600.00, 0, 3, 1, '东方家私广场订单第二批', CONCAT('HT', @ym, '-028'), 2, CONCAT(@m, '05 09:34:00'), NULL, NULL, 0, CONCAT('XSDD', @ym, '00001'), 1, 1, 3),
(5, 49, NULL, CONCAT('RWD', @ym, '00005'), CONCAT(@m, '06'), CONCAT(@m, '09'), 1, 3, 1, CONCAT('SC', @ym, '-05'), 10, 35, 350.00, 0, 3, 1, '备货生产', NULL, 2, CONCAT(@m, '06 09:40:00'), NULL, NULL, 0, NULL, NULL, NULL, NULL),
(6, 49, NULL, CONCAT('RWD', @ym2, '00001'), CONCAT(@m2, '07'), CONCAT(@m2, '08'), 4, 7, 6, CONCAT('SC', @ym2, '-01'), 6, 180, 1080.00, 0, 1, 1, '新世纪酒店大堂沙发', CONCAT('HT', @ym2, '-003'), 1, CONCAT(@m2, '07 09:10:00'), 1, CONCAT(@m2, '07 16:45:00'), 1, CONCAT('XSDD', @ym2, '00001'), 5, 11, 3),
(7, 49, NULL, CONCAT('RWD', @ym2, '00002'), CONCAT(@m2, '07'), CONCAT(@m2, '09'), 4, 8, 7, CONCAT('SC', @ym2, '-02'), 6, 45, 270.00, 0, 8, 1, '配沙发的茶几,与沙发同批交货', CONCAT('HT', @ym2, '-003'), 1, CONCAT(@m2, '07 09:25:00'), 1, CONCAT(@m2, '07 16:50:00'), 1, CONCAT('XSDD', @ym2, '00001'), 5, 12, 3),
(8, 49, NULL, CONCAT('RWD', @ym2, '00003'), CONCAT(@m2, '13'), CONCAT(@m2, '14'), 2, 1, 11, CONCAT('SC', @ym2, '-03'), 60, 15, 900.00, 0, 3, 1, '东方家私广场订单一次做完', CONCAT('HT', @ym2, '-011'), 1, CONCAT(@m2, '13 09:05:00'), 1, CONCAT(@m2, '13 17:20:00'), 1, CONCAT('XSDD', @ym2, '00002'), 6, 13, 3),
(9, 49, NULL, CONCAT('RWD', @ym2, '00004'), CONCAT(@m2, '20'), CONCAT(@m2, '21'), 1, 10, 1, CONCAT('SC', @ym2, '-04'), 10, 38, 380.00, 0, 8, 1, '备货生产', NULL, 1, CONCAT(@m2, '20 08:50:00'), 1, CONCAT(@m2, '20 17:05:00'), 1, NULL, NULL, NULL, NULL),
(10, 49, NULL, CONCAT('RWD', @ym1, '00001'), CONCAT(@m1, '04'), CONCAT(@m1, '05'), 3, 5, 7, CONCAT('SC', @ym1, '-01'), 20, 30, 600.00, 0, 3, 1, '华联订单办公桌', CONCAT('HT', @ym1, '-006'), 1, CONCAT(@m1, '04 09:15:00'), 1, CONCAT(@m1, '04 17:30:00'), 1, CONCAT('XSDD', @ym1, '00001'), 7, 14, 3),
(11, 49, NULL, CONCAT('RWD', @ym1, '00002'), CONCAT(@m1, '05'), CONCAT(@m1, '07'), 3, 9, 7, CONCAT('SC', @ym1, '-02'), 30, 25, 750.00, 0, 8, 1, '华联订单电脑桌', CONCAT('HT', @ym1, '-006'), 1, CONCAT(@m1, '05 09:20:00'), 1, CONCAT(@m1, '05 17:30:00'), 1, CONCAT('XSDD', @ym1, '00001'), 7, 15, 3),
(12, 49, NULL, CONCAT('RWD', @ym1, '00003'), CONCAT(@m1, '19'), CONCAT(@m1, '22'), 1, 2, 11, CONCAT('SC', @ym1, '-03'), 20, 14, 280.00, 0, 3, 1, '备货生产,待审核', NULL, 2, CONCAT(@m1, '19 14:35:00'), NULL, NULL, 0, NULL, NULL, NULL, NULL);

INSERT INTO t_ProTaskList (FID, FFormID, FSID, FProductID, FUnitID, FBatchNo1, FKFDate, FKFPeriod, FPeriodDate, FSingleNumber, FNumber, FPrice, FAmount, FFinishNumber) VALUES
(1, 1, 1, 14, 5, NULL, NULL, NULL, NULL, 1.5, 45.00, 12, 540.00, 0),
(2, 1, 2, 23, 4, NULL, NULL, NULL, NULL, 0.8, 24.00, 18, 432.00, 0),
(3, 1, 3, 24, 5, NULL, NULL, NULL, NULL, 1.2, 36.00, 25, 900.00, 0),
(4, 1, 4, 26, 1, NULL, NULL, NULL, NULL, 5, 150.00, 3.5, 525.00, 0),
(5, 1, 5, 27, 10, NULL, NULL, NULL, NULL, 1, 30.00, 28, 840.00, 0),
(6, 1, 6, 28, 15, NULL, NULL, NULL, NULL, 1, 30.00, 22, 660.00, 0),
(7, 1, 7, 17, 1, NULL, NULL, NULL, NULL, 16, 480.00, 0.08, 38.40, 0),
(8, 1, 8, 42, 1, NULL, NULL, NULL, NULL, 1, 30.00, 6.5, 195.00, 0),
(9, 2, 1, 16, 7, NULL, NULL, NULL, NULL, 2.5, 125.00, 95, 11875.00, 0),
(10, 2, 2, 29, 1, NULL, NULL, NULL, NULL, 4, 200.00, 2.8, 560.00, 0),
(11, 2, 3, 30, 1, NULL, NULL, NULL, NULL, 2, 100.00, 4.5, 450.00, 0),
(12, 2, 4, 32, 11, NULL, NULL, NULL, NULL, 1, 50.00, 12, 600.00, 0),
(13, 2, 5, 37, 4, CONCAT(DATE_FORMAT(@paintLot, '%Y%m%d'), '-01'), @paintLot, 365, DATE_ADD(@paintLot, INTERVAL 365 DAY), 0.6, 30.00, 32, 960.00, 0),
(14, 2, 6, 17, 1, NULL, NULL, NULL, NULL, 24, 1200.00, 0.08, 96.00, 0),
(15, 2, 7, 43, 14, NULL, NULL, NULL, NULL, 2, 100.00, 3, 300.00, 0),
(16, 3, 1, 16, 7, NULL, NULL, NULL, NULL, 2.5, 50.00, 95, 4750.00, 0),
(17, 3, 2, 29, 1, NULL, NULL, NULL, NULL, 4, 80.00, 2.8, 224.00, 0),
(18, 3, 3, 30, 1, NULL, NULL, NULL, NULL, 2, 40.00, 4.5, 180.00, 0),
(19, 3, 4, 32, 11, NULL, NULL, NULL, NULL, 1, 20.00, 12, 240.00, 0),
(20, 3, 5, 37, 4, CONCAT(DATE_FORMAT(@paintLot, '%Y%m%d'), '-01'), @paintLot, 365, DATE_ADD(@paintLot, INTERVAL 365 DAY), 0.6, 12.00, 32, 384.00, 0),
(21, 3, 6, 17, 1, NULL, NULL, NULL, NULL, 24, 480.00, 0.08, 38.40, 0),
(22, 3, 7, 43, 14, NULL, NULL, NULL, NULL, 2, 40.00, 3, 120.00, 0),
(23, 4, 1, 14, 5, NULL, NULL, NULL, NULL, 1.5, 60.00, 12, 720.00, 0),
(24, 4, 2, 23, 4, NULL, NULL, NULL, NULL, 0.8, 32.00, 18, 576.00, 0),
(25, 4, 3, 24, 5, NULL, NULL, NULL, NULL, 1.2, 48.00, 25, 1200.00, 0),
(26, 4, 4, 26, 1, NULL, NULL, NULL, NULL, 5, 200.00, 3.5, 700.00, 0),
(27, 4, 5, 27, 10, NULL, NULL, NULL, NULL, 1, 40.00, 28, 1120.00, 0),
(28, 4, 6, 28, 15, NULL, NULL, NULL, NULL, 1, 40.00, 22, 880.00, 0),
(29, 4, 7, 17, 1, NULL, NULL, NULL, NULL, 16, 640.00, 0.08, 51.20, 0),
(30, 4, 8, 42, 1, NULL, NULL, NULL, NULL, 1, 40.00, 6.5, 260.00, 0),
(31, 5, 1, 21, 7, NULL, NULL, NULL, NULL, 3, 30.00, 68, 2040.00, 0),
(32, 5, 2, 33, 5, NULL, NULL, NULL, NULL, 14, 140.00, 0.6, 84.00, 0),
(33, 5, 3, 29, 1, NULL, NULL, NULL, NULL, 4, 40.00, 2.8, 112.00, 0),
(34, 5, 4, 30, 1, NULL, NULL, NULL, NULL, 2, 20.00, 4.5, 90.00, 0),
(35, 5, 5, 38, 4, CONCAT(DATE_FORMAT(@varnishLot, '%Y%m%d'), '-01'), @varnishLot, 365, DATE_ADD(@varnishLot, INTERVAL 365 DAY), 0.4, 4.00, 28, 112.00, 0),
(36, 5, 6, 18, 1, NULL, NULL, NULL, NULL, 30, 300.00, 0.05, 15.00, 0),
(37, 5, 7, 40, 4, CONCAT(DATE_FORMAT(@whiteGlueLot, '%Y%m%d'), '-01'), @whiteGlueLot, 180, DATE_ADD(@whiteGlueLot, INTERVAL 180 DAY), 0.2, 2.00, 9, 18.00, 0),
(38, 5, 8, 42, 1, NULL, NULL, NULL, NULL, 2, 20.00, 6.5, 130.00, 0),
(39, 6, 1, 22, 5, NULL, NULL, NULL, NULL, 6.5, 39.00, 8.5, 331.50, 0),
(40, 6, 2, 20, 7, NULL, NULL, NULL, NULL, 1.5, 9.00, 85, 765.00, 0),
(41, 6, 3, 23, 4, NULL, NULL, NULL, NULL, 4.5, 27.00, 18, 486.00, 0),
(42, 6, 4, 25, 5, NULL, NULL, NULL, NULL, 7.2, 43.20, 46, 1987.20, 0),
(43, 6, 5, 39, 4, CONCAT(DATE_FORMAT(@glueLot, '%Y%m%d'), '-01'), @glueLot, 180, DATE_ADD(@glueLot, INTERVAL 180 DAY), 0.6, 3.60, 15, 54.00, 0),
(44, 6, 6, 17, 1, NULL, NULL, NULL, NULL, 40, 240.00, 0.08, 19.20, 0),
(45, 6, 7, 42, 1, NULL, NULL, NULL, NULL, 3, 18.00, 6.5, 117.00, 0),
(46, 7, 1, 34, 14, NULL, NULL, NULL, NULL, 1, 6.00, 45, 270.00, 0),
(47, 7, 2, 21, 7, NULL, NULL, NULL, NULL, 0.5, 3.00, 68, 204.00, 0),
(48, 7, 3, 33, 5, NULL, NULL, NULL, NULL, 6, 36.00, 0.6, 21.60, 0),
(49, 7, 4, 35, 1, NULL, NULL, NULL, NULL, 4, 24.00, 0.3, 7.20, 0),
(50, 7, 5, 18, 1, NULL, NULL, NULL, NULL, 16, 96.00, 0.05, 4.80, 0),
(51, 7, 6, 38, 4, CONCAT(DATE_FORMAT(@varnishLot, '%Y%m%d'), '-01'), @varnishLot, 365, DATE_ADD(@varnishLot, INTERVAL 365 DAY), 0.3, 1.80, 28, 50.40, 0),
(52, 7, 7, 43, 14, NULL, NULL, NULL, NULL, 2, 12.00, 3, 36.00, 0),
(53, 8, 1, 14, 5, NULL, NULL, NULL, NULL, 1.5, 90.00, 12, 1080.00, 0),
(54, 8, 2, 23, 4, NULL, NULL, NULL, NULL, 0.8, 48.00, 18, 864.00, 0),
(55, 8, 3, 24, 5, NULL, NULL, NULL, NULL, 1.2, 72.00, 25, 1800.00, 0),
(56, 8, 4, 26, 1, NULL, NULL, NULL, NULL, 5, 300.00, 3.5, 1050.00, 0),
(57, 8, 5, 27, 10, NULL, NULL, NULL, NULL, 1, 60.00, 28, 1680.00, 0),
(58, 8, 6, 28, 15, NULL, NULL, NULL, NULL, 1, 60.00, 22, 1320.00, 0),
(59, 8, 7, 17, 1, NULL, NULL, NULL, NULL, 16, 960.00, 0.08, 76.80, 0),
(60, 8, 8, 42, 1, NULL, NULL, NULL, NULL, 1, 60.00, 6.5, 390.00, 0),
(61, 9, 1, 16, 7, NULL, NULL, NULL, NULL, 2.2, 22.00, 95, 2090.00, 0),
(62, 9, 2, 29, 1, NULL, NULL, NULL, NULL, 4, 40.00, 2.8, 112.00, 0),
(63, 9, 3, 32, 11, NULL, NULL, NULL, NULL, 1, 10.00, 12, 120.00, 0),
(64, 9, 4, 37, 4, CONCAT(DATE_FORMAT(@paintLot, '%Y%m%d'), '-01'), @paintLot, 365, DATE_ADD(@paintLot, INTERVAL 365 DAY), 0.5, 5.00, 32, 160.00, 0),
(65, 9, 5, 36, 4, NULL, NULL, NULL, NULL, 0.3, 3.00, 11, 33.00, 0),
(66, 9, 6, 17, 1, NULL, NULL, NULL, NULL, 20, 200.00, 0.08, 16.00, 0),
(67, 10, 1, 21, 7, NULL, NULL, NULL, NULL, 1.5, 30.00, 68, 2040.00, 0),
(68, 10, 2, 33, 5, NULL, NULL, NULL, NULL, 9, 180.00, 0.6, 108.00, 0),
(69, 10, 3, 31, 15, NULL, NULL, NULL, NULL, 1, 20.00, 9, 180.00, 0),
(70, 10, 4, 30, 1, NULL, NULL, NULL, NULL, 1, 20.00, 4.5, 90.00, 0),
(71, 10, 5, 18, 1, NULL, NULL, NULL, NULL, 24, 480.00, 0.05, 24.00, 0),
(72, 10, 6, 40, 4, CONCAT(DATE_FORMAT(@whiteGlueLot, '%Y%m%d'), '-01'), @whiteGlueLot, 180, DATE_ADD(@whiteGlueLot, INTERVAL 180 DAY), 0.15, 3.00, 9, 27.00, 0),
(73, 10, 7, 42, 1, NULL, NULL, NULL, NULL, 2, 40.00, 6.5, 260.00, 0),
(74, 11, 1, 21, 7, NULL, NULL, NULL, NULL, 1, 30.00, 68, 2040.00, 0),
(75, 11, 2, 33, 5, NULL, NULL, NULL, NULL, 6, 180.00, 0.6, 108.00, 0),
(76, 11, 3, 31, 15, NULL, NULL, NULL, NULL, 1, 30.00, 9, 270.00, 0),
(77, 11, 4, 18, 1, NULL, NULL, NULL, NULL, 20, 600.00, 0.05, 30.00, 0),
(78, 11, 5, 42, 1, NULL, NULL, NULL, NULL, 1, 30.00, 6.5, 195.00, 0),
(79, 12, 1, 15, 5, NULL, NULL, NULL, NULL, 1.2, 24.00, 14.5, 348.00, 0),
(80, 12, 2, 23, 4, NULL, NULL, NULL, NULL, 0.6, 12.00, 18, 216.00, 0),
(81, 12, 3, 25, 5, NULL, NULL, NULL, NULL, 1, 20.00, 46, 920.00, 0),
(82, 12, 4, 26, 1, NULL, NULL, NULL, NULL, 5, 100.00, 3.5, 350.00, 0),
(83, 12, 5, 27, 10, NULL, NULL, NULL, NULL, 1, 20.00, 28, 560.00, 0),
(84, 12, 6, 17, 1, NULL, NULL, NULL, NULL, 12, 240.00, 0.08, 19.20, 0);

-- operation log of the tasks above
INSERT INTO zzsyslog (FDateTime, FUserId, FHostName, FIpAddr, FMsgCont, FWindow) VALUES
(CONCAT(@m2, '07 09:10:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym2, '00001'), '生产任务单'),
(CONCAT(@m2, '07 09:25:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym2, '00002'), '生产任务单'),
(CONCAT(@m2, '07 16:45:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym2, '00001'), '生产任务单'),
(CONCAT(@m2, '07 16:50:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym2, '00002'), '生产任务单'),
(CONCAT(@m2, '13 09:05:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym2, '00003'), '生产任务单'),
(CONCAT(@m2, '13 17:20:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym2, '00003'), '生产任务单'),
(CONCAT(@m2, '20 08:50:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym2, '00004'), '生产任务单'),
(CONCAT(@m2, '20 17:05:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym2, '00004'), '生产任务单'),
(CONCAT(@m1, '04 09:15:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym1, '00001'), '生产任务单'),
(CONCAT(@m1, '04 17:30:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym1, '00001'), '生产任务单'),
(CONCAT(@m1, '05 09:20:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym1, '00002'), '生产任务单'),
(CONCAT(@m1, '05 17:30:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym1, '00002'), '生产任务单'),
(CONCAT(@m1, '19 14:35:00'), 2, 'CWB-PC02', '192.168.1.35', CONCAT('保存操作 - 单据号:RWD', @ym1, '00003'), '生产任务单'),
(CONCAT(@m, '02 09:16:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym, '00001'), '生产任务单'),
(CONCAT(@m, '02 17:30:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym, '00001'), '生产任务单'),
(CONCAT(@m, '03 09:22:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym, '00002'), '生产任务单'),
(CONCAT(@m, '03 17:30:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym, '00002'), '生产任务单'),
(CONCAT(@m, '04 09:28:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('保存操作 - 单据号:RWD', @ym, '00003'), '生产任务单'),
(CONCAT(@m, '04 17:30:00'), 1, 'SCB-PC01', '192.168.1.21', CONCAT('审核操作 - 单据号:RWD', @ym, '00003'), '生产任务单'),
(CONCAT(@m, '05 09:34:00'), 2, 'CWB-PC02', '192.168.1.35', CONCAT('保存操作 - 单据号:RWD', @ym, '00004'), '生产任务单'),
(CONCAT(@m, '06 09:40:00'), 2, 'CWB-PC02', '192.168.1.35', CONCAT('保存操作 - 单据号:RWD', @ym, '00005'), '生产任务单');

-- ---------------------------------------------------------------------------
-- Captions: the production task's default columns, and the free fields of products,
-- clients and suppliers as this factory named them
-- ---------------------------------------------------------------------------

INSERT INTO t_comFieldName (FID, FBillTypeID, FFormOrListID, FBillTypeName, FFieldName, FDefaultName, FSetName, FIsShow, FDefaultIsShow, FSID, FSystemSID, FIsSystem) VALUES
(1, 2003, 0, '商品资料', 'FProductDefined1', '商品自定义1', '规格型号', NULL, 1, NULL, 0, 0),
(2, 2003, 0, '商品资料', 'FProductDefined2', '商品自定义2', '颜色', NULL, 1, NULL, 0, 0),
(3, 2003, 0, '商品资料', 'FProductDefined3', '商品自定义3', '材质', NULL, 1, NULL, 0, 0),
(4, 2004, 0, '客户资料', 'FClientUserDefined1', '客户自定义1', '开户银行', NULL, 1, NULL, 0, 0),
(5, 2004, 0, '客户资料', 'FClientUserDefined2', '客户自定义2', '银行账号', NULL, 1, NULL, 0, 0),
(6, 2004, 0, '客户资料', 'FClientUserDefined3', '客户自定义3', NULL, NULL, 1, NULL, 0, 0),
(7, 2005, 0, '供应商资料', 'FClientUserDefined1', '供应商自定义1', '开户银行', NULL, 1, NULL, 0, 0),
(8, 2005, 0, '供应商资料', 'FClientUserDefined2', '供应商自定义2', '银行账号', NULL, 1, NULL, 0, 0),
(9, 2005, 0, '供应商资料', 'FClientUserDefined3', '供应商自定义3', NULL, NULL, 1, NULL, 0, 0),
(10, 3049, 0, '生产任务单', 'FFormDefined1', '自定义1', '合同号', NULL, 1, NULL, 0, 0),
(11, 3049, 0, '生产任务单', 'FFormDefined2', '自定义2', NULL, NULL, 1, NULL, 0, 0),
(12, 3049, 0, '生产任务单', 'FFormDefined3', '自定义3', NULL, NULL, 1, NULL, 0, 0),
(13, 3049, 1, '生产任务单', 'R_FProductNo', '材料编码', NULL, NULL, 1, NULL, 20, 0),
(14, 3049, 1, '生产任务单', 'R_FProductName', '材料名称', NULL, NULL, 1, NULL, 30, 1),
(15, 3049, 1, '生产任务单', 'R_FBatchNo1', '批次', NULL, NULL, 1, NULL, 40, 0),
(16, 3049, 1, '生产任务单', 'R_FKFDate', '生产日期', NULL, NULL, 1, NULL, 42, 0),
(17, 3049, 1, '生产任务单', 'R_FKFPeriod', '保质期(天)', NULL, NULL, 1, NULL, 45, 0),
(18, 3049, 1, '生产任务单', 'R_FPeriodDate', '有效期至', NULL, NULL, 1, NULL, 47, 0),
(19, 3049, 1, '生产任务单', 'R_FUnitName', '单位', NULL, NULL, 1, NULL, 50, 0),
(20, 3049, 1, '生产任务单', 'R_FNumber', '总耗量', NULL, NULL, 1, NULL, 60, 1),
(21, 3049, 1, '生产任务单', 'R_FSingleNumber', '单耗量', NULL, NULL, 1, NULL, 70, 1),
(22, 3049, 1, '生产任务单', 'R_FPrice', '成本单价', NULL, NULL, 1, NULL, 70, 1),
(23, 3049, 1, '生产任务单', 'R_FAmount', '成本金额', NULL, NULL, 1, NULL, 90, 1),
(24, 3049, 1, '生产任务单', 'R_FProductDefined1', '商品自定义1', '规格型号', NULL, 0, NULL, 150, 0),
(25, 3049, 1, '生产任务单', 'R_FProductDefined2', '商品自定义2', '颜色', NULL, 0, NULL, 160, 0),
(26, 3049, 1, '生产任务单', 'R_FProductDefined3', '商品自定义3', '材质', NULL, 0, NULL, 170, 0),
(27, 3049, 1, '生产任务单', 'R_FListDefined1', '单据自定义1', NULL, NULL, 0, NULL, 180, 0),
(28, 3049, 1, '生产任务单', 'R_FListDefined2', '单据自定义2', NULL, NULL, 0, NULL, 190, 0),
(29, 3049, 1, '生产任务单', 'R_FListDefined3', '单据自定义3', NULL, NULL, 0, NULL, 200, 0),
(30, 3049, 1, '生产任务单', 'R_FNote', '备注', NULL, NULL, 1, NULL, 210, 0),
(31, 3049, 1, '生产任务单', 'R_FFinishNumber', '已完成数量', NULL, NULL, 1, NULL, 220, 0);

-- ---------------------------------------------------------------------------
-- Vouchers: chart of accounts and the default template of the production task
-- (material cost into production: debit 生产成本, credit 原材料)
-- ---------------------------------------------------------------------------

INSERT INTO t_voucheraccount (FID, FNo, FName, FCode, FParentID, FIsCustomer, FIsSupplier, FIsDept, FIsEmployee) VALUES
(1, '1001', '库存现金', 'KCXJ', 0, 0, 0, 0, 0),
(2, '1002', '银行存款', 'YHCK', 0, 0, 0, 0, 0),
(3, '1122', '应收账款', 'YSZK', 0, 1, 0, 0, 0),
(4, '1403', '原材料', 'YCL', 0, 0, 0, 0, 0),
(5, '1405', '库存商品', 'KCSP', 0, 0, 0, 0, 0),
(6, '2202', '应付账款', 'YFZK', 0, 0, 1, 0, 0),
(7, '2211', '应付职工薪酬', 'YFZGXC', 0, 0, 0, 0, 0),
(8, '5001', '生产成本', 'SCCB', 0, 0, 0, 0, 0),
(9, '6001', '主营业务收入', 'ZYYWSR', 0, 0, 0, 0, 0),
(10, '6601', '销售费用', 'XSFY', 0, 0, 0, 1, 0);

INSERT INTO t_vouchermodelfield (FID, FBillTypeID, FFromTableName, FListTableName, FFormOrList, FAmountFromFieldName, FAmountFromFieldCNName) VALUES
(1, 3049, 't_ProTaskForm', 't_ProTaskList', 1, 'FAmount', '加工金额'),
(2, 3049, 't_ProTaskForm', 't_ProTaskList', 2, 'FAmount', '成本金额');

INSERT INTO T_VoucherModelForm (FID, FName, FBillTypeID, FIsDefault, FVoucherGroup, FNote) VALUES
(1, '生产任务单-材料成本', 3049, 1, '记', '按任务单材料成本结转');

INSERT INTO T_VoucherModelList (FID, FFormID, FSID, FNote, FAccountID, FCR, FAmountFromFieldName, FAmountFromFieldCNName, FFormula) VALUES
(1, 1, 1, '生产领用材料', 8, '借', 'FAmount', '成本金额', NULL),
(2, 1, 2, '生产领用材料', 4, '贷', 'FAmount', '成本金额', NULL);
