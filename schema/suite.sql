-- Suite schema: every table the production task module reads or writes, including the
-- other bill types' tables that the shared posting, list and voucher code touch.
--
-- Safe to load again over an existing database: every table is created only when missing
-- and the file holds no rows (demo data lives in demo.sql).
--
-- The server must run with lower_case_table_names=1: the code spells table names in
-- varying case (T_BillType / t_billtype, t_ProTaskForm / t_protaskform).
--
-- Conventions:
--   * keys FID are assigned by the code (largest FID + 1), never by the server, except
--     t_comProductBatchNo, whose new rows are read back with LAST_INSERT_ID(), and
--     t_comProductUnit, whose rows the code inserts without one. Tables the code fills
--     by INSERT ... SELECT (balances, batch records, client prices, cost marks, log)
--     get a server-numbered row key of their own;
--   * quantities, prices, amounts and rates are DECIMAL(24,8); stock figures are held in
--     the product's base unit;
--   * a header's lines point at it with FFormID and are numbered by FSID from 1.

SET NAMES utf8mb4;

-- ---------------------------------------------------------------------------
-- Company, users, rights, parameters, operation log
-- ---------------------------------------------------------------------------

-- one row: the company printed on bills, and the decimals of quantities and prices
CREATE TABLE IF NOT EXISTS `t_comCompany` (
  `FID` INT NOT NULL,
  `FName` VARCHAR(255) DEFAULT NULL,
  `FAddress` VARCHAR(255) DEFAULT NULL,
  `FTel` VARCHAR(100) DEFAULT NULL,
  `FFax` VARCHAR(100) DEFAULT NULL,
  `FContact` VARCHAR(100) DEFAULT NULL,
  `FPostCode` VARCHAR(20) DEFAULT NULL,
  `FTaxNo` VARCHAR(100) DEFAULT NULL,
  `FBank` VARCHAR(255) DEFAULT NULL,
  `FBankAccount` VARCHAR(100) DEFAULT NULL,
  `FNumberDecimal` INT DEFAULT NULL,
  `FPriceDecimal` INT DEFAULT NULL,
  PRIMARY KEY (`FID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- FRightType 1: window and button rights are checked; 2: may see the pay columns of the
-- consignment list; 0: unrestricted
CREATE TABLE IF NOT EXISTS `t_comUser` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FPassword` VARCHAR(255) DEFAULT NULL,
  `FRightType` INT DEFAULT NULL,
  `FDeptID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- right names: a window prefix ("Bill.Protask") or prefix + operation (".Add", ".Check")
CREATE TABLE IF NOT EXISTS `t_comRight` (
  `FID` INT NOT NULL,
  `FParentID` INT DEFAULT NULL,
  `Fvalue` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_Fvalue` (`Fvalue`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- rights granted to a user
CREATE TABLE IF NOT EXISTS `t_comUserRight` (
  `FUserID` INT NOT NULL,
  `FRightID` INT NOT NULL,
  PRIMARY KEY (`FUserID`,`FRightID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- system parameters, one row per name; FTypeID says which value column holds the value:
-- 1 FIntValue, 2 FBoolValue (0/1), 3 FCharValue, 4 FFloatValue, 5 FDatetimeValue
CREATE TABLE IF NOT EXISTS `t_comparameters` (
  `FName` VARCHAR(100) NOT NULL,
  `FID` INT DEFAULT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FIntValue` INT DEFAULT NULL,
  `FBoolValue` INT DEFAULT NULL,
  `FCharValue` VARCHAR(255) DEFAULT NULL,
  `FFloatValue` DECIMAL(24,8) DEFAULT NULL,
  `FDatetimeValue` DATETIME DEFAULT NULL,
  `FNote` VARCHAR(255) DEFAULT NULL,
  PRIMARY KEY (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- commit marks: a save writes a token of its own in its transaction, so that after a lost
-- COMMIT the workstation can tell whether that save landed; the token goes once it knows
CREATE TABLE IF NOT EXISTS `zzcommitmark` (
  `FToken` CHAR(32) NOT NULL,
  `FDateTime` DATETIME DEFAULT NULL,
  PRIMARY KEY (`FToken`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- operation log: one row per user action on a bill (action text + bill number)
CREATE TABLE IF NOT EXISTS `zzsyslog` (
  `FLogID` INT NOT NULL AUTO_INCREMENT,
  `FDateTime` DATETIME DEFAULT NULL,
  `FUserId` INT DEFAULT NULL,
  `FHostName` VARCHAR(100) DEFAULT NULL,
  `FIpAddr` VARCHAR(50) DEFAULT NULL,
  `FMsgCont` VARCHAR(500) DEFAULT NULL,
  `FWindow` VARCHAR(100) DEFAULT NULL,
  PRIMARY KEY (`FLogID`),
  KEY `ix_FDateTime` (`FDateTime`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- ---------------------------------------------------------------------------
-- Bill types and numbering
-- ---------------------------------------------------------------------------

-- one row per kind of bill. FID is the key that bill headers keep in FTypeID and
-- T_BillCode in FBillTypeID; FBillTypeID is the numeric bill type (3049 ...).
-- Bill numbers are FPreCode + yyyymm + five-digit sequence.
CREATE TABLE IF NOT EXISTS `T_BillType` (
  `FID` INT NOT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillTypeNo` VARCHAR(20) DEFAULT NULL,
  `FPreCode` VARCHAR(20) DEFAULT NULL,
  `FBillName` VARCHAR(100) DEFAULT NULL,
  `FPrintStyle` INT DEFAULT 1,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillTypeNo` (`FBillTypeNo`),
  KEY `ix_FBillTypeID` (`FBillTypeID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- last sequence taken per bill kind (T_BillType.FID) and month; made by the first take of
-- a month and then only incremented
CREATE TABLE IF NOT EXISTS `T_BillCode` (
  `FBillTypeID` INT NOT NULL,
  `FPreCode` VARCHAR(20) DEFAULT NULL,
  `FYearMonth` VARCHAR(6) NOT NULL,
  `FCurNo` INT DEFAULT 0,
  PRIMARY KEY (`FBillTypeID`,`FYearMonth`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- ---------------------------------------------------------------------------
-- Master data
-- ---------------------------------------------------------------------------

-- units of measure
CREATE TABLE IF NOT EXISTS `t_comUnit` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  UNIQUE KEY `ux_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- products. FStdUnitID is the base unit (also t_comProductUnit row FSID 1); FUnitID and
-- FRatio name the usual second unit. FCurStock is the stock over all storehouses in the
-- base unit. FEffectiveDate is the shelf life in days (0 or null: none).
CREATE TABLE IF NOT EXISTS `t_comProducts` (
  `FID` INT NOT NULL,
  `FgroupID` INT DEFAULT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FStdUnitID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FRatio` DECIMAL(24,8) DEFAULT NULL,
  `FCurStock` DECIMAL(24,8) DEFAULT NULL,
  `FIsBatchNo` INT DEFAULT 0,
  `FEffectiveDate` INT DEFAULT NULL,
  `FIsActive` INT DEFAULT 1,
  `FProductDefined1` VARCHAR(255) DEFAULT NULL,
  `FProductDefined2` VARCHAR(255) DEFAULT NULL,
  `FProductDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FName` (`FName`),
  KEY `ix_FNo` (`FNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- one row per product and unit; FSID 1 is the base unit (FRatio 1). FRatio is the number
-- of base units in one of this unit. Prices are per this unit. FID only counts rows (the
-- code inserts without it); rows are found by product and FSID or unit.
CREATE TABLE IF NOT EXISTS `t_comProductUnit` (
  `FID` INT NOT NULL AUTO_INCREMENT,
  `FProductID` INT NOT NULL,
  `FSID` INT NOT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FRatio` DECIMAL(24,8) DEFAULT NULL,
  `FBarCode` VARCHAR(100) DEFAULT NULL,
  `FPosPrice` DECIMAL(24,8) DEFAULT NULL,
  `FPrePrice1` DECIMAL(24,8) DEFAULT NULL,
  `FPrePrice2` DECIMAL(24,8) DEFAULT NULL,
  `FPrePrice3` DECIMAL(24,8) DEFAULT NULL,
  `FAtaSalePosPrice` DECIMAL(24,8) DEFAULT NULL,
  `FLastInPrice` DECIMAL(24,8) DEFAULT NULL,
  `FLastInDate` DATETIME DEFAULT NULL,
  `FLastOutPrice` DECIMAL(24,8) DEFAULT NULL,
  `FLastOutDate` DATETIME DEFAULT NULL,
  PRIMARY KEY (`FID`),
  UNIQUE KEY `ux_FProductID_FSID` (`FProductID`,`FSID`),
  KEY `ix_FProductID_FUnitID` (`FProductID`,`FUnitID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- last price agreed with a client per product and unit (written when sales are checked)
CREATE TABLE IF NOT EXISTS `t_comProductsPrice` (
  `FRowID` INT NOT NULL AUTO_INCREMENT,
  `FClientID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDate` DATETIME DEFAULT NULL,
  PRIMARY KEY (`FRowID`),
  UNIQUE KEY `ux_FClientID_FProductID_FUnitID` (`FClientID`,`FProductID`,`FUnitID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- clients (FType 1) and suppliers (FType 2). FPrePriceID is the price level: 0 retail
-- price, 1..3 FPrePrice1..3. FUnPayAmount = FTotalAmount - FPayAmount.
CREATE TABLE IF NOT EXISTS `t_comClient` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FType` INT DEFAULT NULL,
  `FPrePriceID` INT DEFAULT NULL,
  `FIsActive` INT DEFAULT 1,
  `FIsSystem` INT DEFAULT NULL,
  `FContact` VARCHAR(100) DEFAULT NULL,
  `FPhone` VARCHAR(100) DEFAULT NULL,
  `FTel` VARCHAR(100) DEFAULT NULL,
  `FAddress` VARCHAR(255) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPayAmount` DECIMAL(24,8) DEFAULT NULL,
  `FUnPayAmount` DECIMAL(24,8) DEFAULT NULL,
  `FLastInOuDateTime` DATETIME DEFAULT NULL,
  `FClientUserDefined1` VARCHAR(255) DEFAULT NULL,
  `FClientUserDefined2` VARCHAR(255) DEFAULT NULL,
  `FClientUserDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FName` (`FName`),
  UNIQUE KEY `ux_FType_FName` (`FType`,`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_comEmployee` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FDeptID` INT DEFAULT NULL,
  `FPhone` VARCHAR(100) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  UNIQUE KEY `ux_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_comdepartment` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  UNIQUE KEY `ux_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_comStorehouse` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FAddress` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- settlement methods and income/expense items; FItemType 1 settlement, 2 income,
-- 3 expense
CREATE TABLE IF NOT EXISTS `t_comItem` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FItemType` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- cash and bank accounts; bills name theirs in FCashID
CREATE TABLE IF NOT EXISTS `t_comCash` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FBankAccount` VARCHAR(100) DEFAULT NULL,
  `FBalance` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- retail members
CREATE TABLE IF NOT EXISTS `t_comVIP` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FPhone` VARCHAR(100) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FName` (`FName`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- ---------------------------------------------------------------------------
-- Stock kept by the posting engine
-- ---------------------------------------------------------------------------

-- stock by storehouse and product in base units. Rows are made on first use and never
-- deleted. The pair is unique: two workstations making the same row at once then meet a
-- duplicate key, which the action's retry cures, instead of each adding a twin.
CREATE TABLE IF NOT EXISTS `t_Balance` (
  `FRowID` INT NOT NULL AUTO_INCREMENT,
  `FStorehouseID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  PRIMARY KEY (`FRowID`),
  UNIQUE KEY `ux_FStorehouseID_FProductID` (`FStorehouseID`,`FProductID`),
  KEY `ix_FProductID` (`FProductID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- batch stock of batch-managed products (FIsBatchNo 1), per storehouse, product, batch
-- number, production date and expiry date; FNumber in base units, may go negative
CREATE TABLE IF NOT EXISTS `t_comProductBatchNo` (
  `FID` INT NOT NULL AUTO_INCREMENT,
  `FStorehouseID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  -- the batch identity with blanks made equal, so that the unique key below treats a
  -- missing batch number or date like the code's IfNull(…,'') comparisons do
  `FBatchNoKey` VARCHAR(100) AS (IfNull(`FBatchNo1`,'')) STORED,
  `FKFDateKey` DATE AS (IfNull(`FKFDate`,'1000-01-01')) STORED,
  `FPeriodDateKey` DATE AS (IfNull(`FPeriodDate`,'1000-01-01')) STORED,
  PRIMARY KEY (`FID`),
  UNIQUE KEY `ux_batch` (`FStorehouseID`,`FProductID`,`FBatchNoKey`,`FKFDateKey`,`FPeriodDateKey`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- quantities an outgoing bill took from batch rows (FFromID), so that unchecking puts
-- them back on the same rows; FTypeID is the bill's FTypeID
CREATE TABLE IF NOT EXISTS `t_comProductOutBatchNo` (
  `FOutID` INT NOT NULL AUTO_INCREMENT,
  `FFromID` INT DEFAULT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillID` INT DEFAULT NULL,
  `FListID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  PRIMARY KEY (`FOutID`),
  KEY `ix_FBillID_FTypeID` (`FBillID`,`FTypeID`),
  KEY `ix_FFromID` (`FFromID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- products whose costs must be recomputed from FLastDate on in period FPeriod (yyyymm);
-- written by every check and uncheck of a stock bill, consumed by the cost run
CREATE TABLE IF NOT EXISTS `t_billcalflag` (
  `FRowID` INT NOT NULL AUTO_INCREMENT,
  `FProductID` INT DEFAULT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FPeriod` INT DEFAULT NULL,
  `FLastDate` DATE DEFAULT NULL,
  PRIMARY KEY (`FRowID`),
  UNIQUE KEY `ux_FProductID_FPeriod` (`FProductID`,`FPeriod`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- ---------------------------------------------------------------------------
-- Bills of the suite. Every header carries number, date, biller, checker, the checked
-- flag and the closing and voucher marks; every line table the product, unit,
-- quantities, prices, discount, tax, batch, size and link columns.
-- ---------------------------------------------------------------------------

-- purchase order (3001)
CREATE TABLE IF NOT EXISTS `t_PurOrderForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FPurEmpID` INT DEFAULT NULL,
  `FDeliverDate` DATE DEFAULT NULL,
  `FAddr` VARCHAR(255) DEFAULT NULL,
  `FSettlementID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPayAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_PurOrderList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`),
  KEY `ix_FFromOrderListID` (`FFromOrderListID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- purchase receipt (3002) and purchase return (3015, FBillTypeID 2, negative quantities)
CREATE TABLE IF NOT EXISTS `t_PurForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FPurEmpID` INT DEFAULT NULL,
  `FReceiveEmpID` INT DEFAULT NULL,
  `FSettlementID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPayAmount` DECIMAL(24,8) DEFAULT NULL,
  `FOrderAmount` DECIMAL(24,8) DEFAULT NULL,
  `FFinishAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`),
  KEY `ix_FClientID_FBillDate` (`FClientID`,`FBillDate`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- rebate columns are written when a rebate bill is checked
CREATE TABLE IF NOT EXISTS `t_PurList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FIsReturn` INT DEFAULT 0,
  `FReturnFromFormID` INT DEFAULT NULL,
  `FReturnAmount` DECIMAL(24,8) DEFAULT NULL,
  `FReturnPrice` DECIMAL(24,8) DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`),
  KEY `ix_FFromOrderListID` (`FFromOrderListID`),
  KEY `ix_FReturnFromFormID` (`FReturnFromFormID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- sales order (3003)
CREATE TABLE IF NOT EXISTS `t_SaleOrderForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FSaleEmpID` INT DEFAULT NULL,
  `FDeliverDate` DATE DEFAULT NULL,
  `FAddr` VARCHAR(255) DEFAULT NULL,
  `FClientContact` VARCHAR(100) DEFAULT NULL,
  `FClientPhone` VARCHAR(100) DEFAULT NULL,
  `FSettlementID` INT DEFAULT NULL,
  `FFinishType` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FReceiveAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- three completion counters: delivered (FFinishNumber), ordered from suppliers,
-- put into production
CREATE TABLE IF NOT EXISTS `t_SaleOrderList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FPurOrderFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FProtaskFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- sales out (3004), sales return (3016, FBillTypeID 2) and retail sale (3005)
CREATE TABLE IF NOT EXISTS `t_SaleOutForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FSaleEmpID` INT DEFAULT NULL,
  `FVIPID` INT DEFAULT NULL,
  `FAddr` VARCHAR(255) DEFAULT NULL,
  `FClientContact` VARCHAR(100) DEFAULT NULL,
  `FClientPhone` VARCHAR(100) DEFAULT NULL,
  `FSettlementID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FReceiveAmount` DECIMAL(24,8) DEFAULT NULL,
  `FOrderAmount` DECIMAL(24,8) DEFAULT NULL,
  `FFinishAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPosCashAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPosBankAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`),
  KEY `ix_FClientID_FBillDate` (`FClientID`,`FBillDate`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_SaleOutList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`),
  KEY `ix_FFromOrderListID` (`FFromOrderListID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- consignment sale (3006): sold for a supplier (FSupplierID) to a customer (FCustomerID);
-- FClientID is the customer as the shared client joins read it
CREATE TABLE IF NOT EXISTS `t_SaleForForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FCustomerID` INT DEFAULT NULL,
  `FSupplierID` INT DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FSaleEmpID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FReceiveAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPayTobeAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPayAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_SaleForList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- receipts and payments (3007, 3008, 3012, 3013, 3041, 3042), other payables and
-- receivables (3032-3035); FBillTypeID 1 receipt, 2 payment. A rebate writes its payment
-- bill here with FFromBillTypeID/FFromFormBillID naming the rebate.
CREATE TABLE IF NOT EXISTS `t_ReceivePayForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FSettlementID` INT DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeAmount` DECIMAL(24,8) DEFAULT NULL,
  `FFromBillTypeID` INT DEFAULT NULL,
  `FFromFormBillID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- one line per settled sales-out or purchase bill (FFromBillID)
CREATE TABLE IF NOT EXISTS `t_receivepayList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`),
  KEY `ix_FFromBillID` (`FFromBillID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- fee bill (3010)
CREATE TABLE IF NOT EXISTS `t_FeeForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- FItemID is the fee item (t_comItem)
CREATE TABLE IF NOT EXISTS `t_FeeList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FItemID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- stocktake (3011)
CREATE TABLE IF NOT EXISTS `t_inventoryform` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- book and counted quantity, and the gain or loss posted to stock
CREATE TABLE IF NOT EXISTS `t_inventorylist` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FStockNumber` DECIMAL(24,8) DEFAULT NULL,
  `FCheckNumber` DECIMAL(24,8) DEFAULT NULL,
  `FInGainNumber` DECIMAL(24,8) DEFAULT NULL,
  `FOutLossNumber` DECIMAL(24,8) DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- income and expense (3014, 3028, 3029); FBillTypeID 1 income, 2 expense
CREATE TABLE IF NOT EXISTS `t_Account` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FItemID` INT DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- supplier rebate (3017) over the purchases of a period
CREATE TABLE IF NOT EXISTS `t_ReturnForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FBeginDate` DATE DEFAULT NULL,
  `FEndDate` DATE DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FReceiveFormID` INT DEFAULT 0,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- FIsSelected limits the rebate to the ticked products
CREATE TABLE IF NOT EXISTS `t_ReturnList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FIsSelected` INT DEFAULT 0,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- transfer between storehouses (3018)
CREATE TABLE IF NOT EXISTS `t_TransferForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FOutStorehouseID` INT DEFAULT NULL,
  `FInStorehouseID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FReceiveEmpID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_TransferList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- other stock-in (3019) and stock-out (3020); FItemTypeID 1 names an employee in
-- FItemID, 2 and 3 a client or supplier
CREATE TABLE IF NOT EXISTS `t_OtherOutInForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FItemTypeID` INT DEFAULT NULL,
  `FItemID` INT DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FReceiveEmpID` INT DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_OtherOutInList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- stock gain (3021) and stock loss (3022)
CREATE TABLE IF NOT EXISTS `t_LossGainForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_LossGainList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- assembly (3025) and dismantling (3026): the header carries the assembled product
CREATE TABLE IF NOT EXISTS `t_AssemblyForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- each component line names its own storehouse
CREATE TABLE IF NOT EXISTS `t_AssemblyList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- cost adjustment (3043)
CREATE TABLE IF NOT EXISTS `t_costadjustform` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FEmpID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `t_costadjustlist` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FOldPrice` DECIMAL(24,8) DEFAULT NULL,
  `FNewPrice` DECIMAL(24,8) DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- material picking for production (3089)
CREATE TABLE IF NOT EXISTS `t_outpickingform` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FDeptID` INT DEFAULT NULL,
  `FPickerID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- FFromListID is the production task line the material is picked for
CREATE TABLE IF NOT EXISTS `t_outpickinglist` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`),
  KEY `ix_FFromListID` (`FFromListID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- finished goods into stock (3090)
CREATE TABLE IF NOT EXISTS `t_infinishform` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FStorehouseID` INT DEFAULT NULL,
  `FDeptID` INT DEFAULT NULL,
  `FPickerID` INT DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FPayAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCashID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- FFromBillID is the production task the goods were made by
CREATE TABLE IF NOT EXISTS `t_infinishlist` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountRate` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTobeDiscountAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTaxRate` DECIMAL(24,8) DEFAULT NULL,
  `FTaxPrice` DECIMAL(24,8) DEFAULT NULL,
  `FTaxAmount` DECIMAL(24,8) DEFAULT NULL,
  `FTotalAmount` DECIMAL(24,8) DEFAULT NULL,
  `FIsPresent` INT DEFAULT 0,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FBatchNo2` VARCHAR(100) DEFAULT NULL,
  `FBatchNo3` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FWidth` DECIMAL(24,8) DEFAULT NULL,
  `FHeight` DECIMAL(24,8) DEFAULT NULL,
  `FLength` DECIMAL(24,8) DEFAULT NULL,
  `FSquare` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FFromOrderListID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`),
  KEY `ix_FFromBillID` (`FFromBillID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- ---------------------------------------------------------------------------
-- Production task (3049): one finished product per task, its materials as lines
-- ---------------------------------------------------------------------------

-- FFromBillNo/FFromBillID/FFromListID/FFromBillTypeID name the sales order line the task
-- was made from (0 or null: none); checking the task adds FNumber to that line's
-- FProtaskFinishNumber. FFinishNumber counts the finished goods taken into stock.
CREATE TABLE IF NOT EXISTS `t_ProTaskForm` (
  `FID` INT NOT NULL,
  `FTypeID` INT DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FBillNo` VARCHAR(100) DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FProDate` DATE DEFAULT NULL,
  `FClientID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FBatchNo` VARCHAR(100) DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FManagerID` INT DEFAULT NULL,
  `FDeptID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FFormDefined1` VARCHAR(255) DEFAULT NULL,
  `FFormDefined2` VARCHAR(255) DEFAULT NULL,
  `FFormDefined3` VARCHAR(255) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillerDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FFromBillNo` VARCHAR(100) DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FFromListID` INT DEFAULT NULL,
  `FFromBillTypeID` INT DEFAULT NULL,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsCreateVoucher` INT DEFAULT NULL,
  `FVoucherID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  -- the list opens on a date range: a month is read by this key, never the whole table
  KEY `ix_FBillDate` (`FBillDate`),
  KEY `ix_FBillNo` (`FBillNo`),
  KEY `ix_FProductID` (`FProductID`),
  KEY `ix_FFromListID` (`FFromListID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- materials of a task: consumption per finished unit (FSingleNumber) and in total
-- (FNumber = FSingleNumber x task quantity); FFinishNumber is what was picked so far
CREATE TABLE IF NOT EXISTS `t_ProTaskList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FProductID` INT DEFAULT NULL,
  `FUnitID` INT DEFAULT NULL,
  `FBatchNo1` VARCHAR(100) DEFAULT NULL,
  `FKFDate` DATE DEFAULT NULL,
  `FKFPeriod` INT DEFAULT NULL,
  `FPeriodDate` DATE DEFAULT NULL,
  `FSingleNumber` DECIMAL(24,8) DEFAULT NULL,
  `FNumber` DECIMAL(24,8) DEFAULT NULL,
  `FPrice` DECIMAL(24,8) DEFAULT NULL,
  `FAmount` DECIMAL(24,8) DEFAULT NULL,
  `FFinishNumber` DECIMAL(24,8) DEFAULT NULL,
  `FListDefined1` VARCHAR(255) DEFAULT NULL,
  `FListDefined2` VARCHAR(255) DEFAULT NULL,
  `FListDefined3` VARCHAR(255) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- ---------------------------------------------------------------------------
-- Accounting vouchers and the templates bills are turned into vouchers by
-- ---------------------------------------------------------------------------

CREATE TABLE IF NOT EXISTS `t_VoucherForm` (
  `FID` INT NOT NULL,
  `FDate` DATE DEFAULT NULL,
  `FYear` INT DEFAULT NULL,
  `FPeriod` INT DEFAULT NULL,
  `FVoucherTypeID` INT DEFAULT NULL,
  `FGroupID` INT DEFAULT NULL,
  `FNumber` INT DEFAULT NULL,
  `FAttachmentNumber` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FDebitAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCreditAmount` DECIMAL(24,8) DEFAULT NULL,
  `FBillerID` INT DEFAULT NULL,
  `FBillDate` DATETIME DEFAULT NULL,
  `FCheckerID` INT DEFAULT NULL,
  `FCheckerDate` DATETIME DEFAULT NULL,
  `FIsChecked` INT DEFAULT 0,
  `FPostID` INT DEFAULT NULL,
  `FIsPost` INT DEFAULT NULL,
  `FPostDate` DATETIME DEFAULT NULL,
  `FIsCloseAcc` INT DEFAULT NULL,
  `FIsBillCreate` INT DEFAULT NULL,
  `FFromBillTypeID` INT DEFAULT NULL,
  `FFromBillID` INT DEFAULT NULL,
  `FFromBillNo` VARCHAR(100) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FYear_FPeriod` (`FYear`,`FPeriod`),
  -- a voucher number is taken once per period and voucher kind, also when two workstations
  -- generate vouchers at the same moment
  UNIQUE KEY `ux_FYear_FPeriod_FVoucherTypeID_FNumber` (`FYear`,`FPeriod`,`FVoucherTypeID`,`FNumber`),
  KEY `ix_FFromBillTypeID_FFromBillID` (`FFromBillTypeID`,`FFromBillID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- FDC -1 debit, 1 credit
CREATE TABLE IF NOT EXISTS `t_voucherList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FAccountID` INT DEFAULT NULL,
  `FDC` INT DEFAULT NULL,
  `FDebitAmount` DECIMAL(24,8) DEFAULT NULL,
  `FCreditAmount` DECIMAL(24,8) DEFAULT NULL,
  `FDebitAmountFor` DECIMAL(24,8) DEFAULT NULL,
  `FCreditAmountFor` DECIMAL(24,8) DEFAULT NULL,
  `FCurrencyID` INT DEFAULT NULL,
  `FCustomerID` INT DEFAULT NULL,
  `FSupplierID` INT DEFAULT NULL,
  `FDeptID` INT DEFAULT NULL,
  `FEmployeeID` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- voucher templates; FIsDefault 1 marks the template used for a bill type
CREATE TABLE IF NOT EXISTS `T_VoucherModelForm` (
  `FID` INT NOT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FIsDefault` INT DEFAULT 0,
  `FVoucherGroup` VARCHAR(20) DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillTypeID` (`FBillTypeID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- template lines: account, side (FCR '借' or '贷') and the bill column giving the amount
-- (named as in t_vouchermodelfield)
CREATE TABLE IF NOT EXISTS `T_VoucherModelList` (
  `FID` INT NOT NULL,
  `FFormID` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FNote` VARCHAR(500) DEFAULT NULL,
  `FAccountID` INT DEFAULT NULL,
  `FCR` VARCHAR(10) DEFAULT NULL,
  `FAmountFromFieldName` VARCHAR(100) DEFAULT NULL,
  `FAmountFromFieldCNName` VARCHAR(100) DEFAULT NULL,
  `FFormula` VARCHAR(255) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FFormID_FSID` (`FFormID`,`FSID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- the amount columns a template may use per bill type; FFormOrList 1 header, 2 lines
CREATE TABLE IF NOT EXISTS `t_vouchermodelfield` (
  `FID` INT NOT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FFromTableName` VARCHAR(100) DEFAULT NULL,
  `FListTableName` VARCHAR(100) DEFAULT NULL,
  `FFormOrList` INT DEFAULT NULL,
  `FAmountFromFieldName` VARCHAR(100) DEFAULT NULL,
  `FAmountFromFieldCNName` VARCHAR(100) DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FBillTypeID` (`FBillTypeID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- chart of accounts; the FIs* flags name the dimensions a posting to the account needs
CREATE TABLE IF NOT EXISTS `t_voucheraccount` (
  `FID` INT NOT NULL,
  `FNo` VARCHAR(100) DEFAULT NULL,
  `FName` VARCHAR(100) DEFAULT NULL,
  `FCode` VARCHAR(255) DEFAULT NULL,
  `FParentID` INT DEFAULT NULL,
  `FIsCustomer` INT DEFAULT NULL,
  `FIsSupplier` INT DEFAULT NULL,
  `FIsDept` INT DEFAULT NULL,
  `FIsEmployee` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  KEY `ix_FNo` (`FNo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- ---------------------------------------------------------------------------
-- Captions, visibility and order of header fields and grid columns per bill type
-- ---------------------------------------------------------------------------

-- FFormOrListID 0 header field (FFormDefined1..3), 1 grid column ("R_" + field).
-- A blank FSetName / FIsShow / FSID falls back to FDefaultName / FDefaultIsShow /
-- FSystemSID. Bill types 2003-2005 hold the free fields of products, clients and
-- suppliers; codes above 4000 are reports.
CREATE TABLE IF NOT EXISTS `t_comFieldName` (
  `FID` INT NOT NULL,
  `FBillTypeID` INT DEFAULT NULL,
  `FFormOrListID` INT DEFAULT NULL,
  `FBillTypeName` VARCHAR(100) DEFAULT NULL,
  `FFieldName` VARCHAR(100) DEFAULT NULL,
  `FDefaultName` VARCHAR(100) DEFAULT NULL,
  `FSetName` VARCHAR(100) DEFAULT NULL,
  `FIsShow` INT DEFAULT NULL,
  `FDefaultIsShow` INT DEFAULT NULL,
  `FSID` INT DEFAULT NULL,
  `FSystemSID` INT DEFAULT NULL,
  `FIsSystem` INT DEFAULT NULL,
  PRIMARY KEY (`FID`),
  UNIQUE KEY `ux_FBillTypeID_FFieldName` (`FBillTypeID`,`FFieldName`),
  KEY `ix_FBillTypeID_FFormOrListID` (`FBillTypeID`,`FFormOrListID`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;
